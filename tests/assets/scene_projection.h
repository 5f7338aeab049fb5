// The renderer's view of an object, for checking where the demo's content lands on screen:
// the object's vertices are turned (z, then y, then x, degrees at 3.14 / 180 per degree),
// moved to its place (world y up and z towards the viewer, so y and z are negated), moved by
// the inverse camera position and turned by the inverse camera rotation; camera space has x
// right, y down and z into the screen, projected with focal length 256 about (256, 192).
#pragma once

#include <cmath>

#include "geometry/mesh.h"
#include "scene/scene_object.h"

struct ViewMatrix {
  double m[16];
};

inline ViewMatrix IdentityView() { return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

inline void MultiplyView(ViewMatrix* a, const ViewMatrix& b) {
  ViewMatrix r{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < 4; ++k) r.m[4 * i + j] += a->m[4 * i + k] * b.m[4 * k + j];
    }
  }
  *a = r;
}

inline void RotateView(ViewMatrix* view, float ax, float ay, float az) {
  constexpr double RADIANS_PER_DEGREE = 3.14 / 180.0;
  double tx = ax * RADIANS_PER_DEGREE, ty = -ay * RADIANS_PER_DEGREE, tz = -az * RADIANS_PER_DEGREE;
  ViewMatrix rz = IdentityView(), ry = IdentityView(), rx = IdentityView();
  rz.m[0] = std::cos(tz), rz.m[1] = std::sin(tz), rz.m[4] = -std::sin(tz), rz.m[5] = std::cos(tz);
  ry.m[0] = std::cos(ty), ry.m[2] = -std::sin(ty), ry.m[8] = std::sin(ty), ry.m[10] = std::cos(ty);
  rx.m[5] = std::cos(tx), rx.m[6] = std::sin(tx), rx.m[9] = -std::sin(tx), rx.m[10] = std::cos(tx);
  MultiplyView(view, rz);
  MultiplyView(view, ry);
  MultiplyView(view, rx);
}

inline void TranslateView(ViewMatrix* view, float x, float y, float z) {
  ViewMatrix t = IdentityView();
  t.m[12] = x, t.m[13] = -y, t.m[14] = -z;
  MultiplyView(view, t);
}

inline ViewMatrix ObjectView(const SceneObject& object, const SceneObject& camera) {
  ViewMatrix view = IdentityView();
  RotateView(&view, object.rotation[0], object.rotation[1], object.rotation[2]);
  TranslateView(&view, object.position[0], object.position[1], object.position[2]);
  TranslateView(&view, -camera.position[0], -camera.position[1], -camera.position[2]);
  RotateView(&view, -camera.rotation[0], -camera.rotation[1], -camera.rotation[2]);
  return view;
}

struct CameraPoint {
  double x, y, z;
};

inline CameraPoint ToCamera(const ViewMatrix& v, double x, double y, double z) {
  const double* m = v.m;
  return {x * m[0] + y * m[4] + z * m[8] + m[12], x * m[1] + y * m[5] + z * m[9] + m[13],
          x * m[2] + y * m[6] + z * m[10] + m[14]};
}

struct ScreenPoint {
  double x, y;
};

inline ScreenPoint ToScreen(CameraPoint p) {
  double z = p.z == 0.0 ? -1.0 : p.z;
  return {256.0 * p.x / z + 256.0, 256.0 * p.y / z + 192.0};
}

// The back-face rule: corners that run counter-clockwise on screen (y down) are dropped.
inline bool FacesCamera(ScreenPoint a, ScreenPoint b, ScreenPoint c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) >= 0.0;
}
