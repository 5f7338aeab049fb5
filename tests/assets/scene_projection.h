// The renderer's view of an object, for checking where the demo's content lands on screen:
// the object's matrix is built with the renderer's own matrix operations in the order the
// scene pass builds it, and camera space (x right, y down, z into the screen) is projected
// with focal length 256 about (256, 192).
#pragma once

#include "render/render_context.h"
#include "scene/scene_object.h"

inline Matrix4 ObjectView(const SceneObject& object, const SceneObject& camera) {
  LoadIdentity();
  Rotate(object.rotation[0], object.rotation[1], object.rotation[2]);
  Translate(object.position[0], object.position[1], object.position[2]);
  Translate(-camera.position[0], -camera.position[1], -camera.position[2]);
  Rotate(-camera.rotation[0], -camera.rotation[1], -camera.rotation[2]);
  return g_render.current;
}

struct CameraPoint {
  double x, y, z;
};

inline CameraPoint ToCamera(const Matrix4& view, double x, double y, double z) {
  double out[3];
  TransformPoint(view, x, y, z, out);
  return {out[0], out[1], out[2]};
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
