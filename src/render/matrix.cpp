// The current matrix and its three operations. Matrices are float; a point through one is
// computed in double, as the camera-space positions are kept.
#include <cmath>

#include "render/render_context.h"

static void SetIdentity(Matrix4* m) {
  for (int i = 0; i < 16; ++i) m->m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

// The angle is converted with the authored 3.14 / 180; sign says which way the axis turns.
static void SetRotation(Matrix4* m, int axis, double radians) {
  SetIdentity(m);
  const float c = (float)std::cos(radians);
  const float s = (float)std::sin(radians);
  switch (axis) {
    case 0:  // about x
      m->m[5] = c, m->m[6] = s, m->m[9] = -s, m->m[10] = c;
      break;
    case 1:  // about y
      m->m[0] = c, m->m[2] = -s, m->m[8] = s, m->m[10] = c;
      break;
    default:  // about z
      m->m[0] = c, m->m[1] = s, m->m[4] = -s, m->m[5] = c;
      break;
  }
}

void LoadIdentity() { SetIdentity(&g_render.current); }

void MatMultiply(Matrix4* a, const Matrix4& b) {
  Matrix4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a->m[4 * i + k] * b.m[4 * k + j];
      r.m[4 * i + j] = sum;
    }
  }
  *a = r;
}

// World y points up and z towards the viewer; camera space has y down and z into the screen.
void Translate(float x, float y, float z) {
  Matrix4& t = g_render.scratch[0];
  SetIdentity(&t);
  t.m[12] = x;
  t.m[13] = -y;
  t.m[14] = -z;
  MatMultiply(&g_render.current, t);
}

void Rotate(float ax, float ay, float az) {
  Matrix4* s = g_render.scratch;
  SetRotation(&s[1], 0, ax * ANGLE_FACTOR);
  SetRotation(&s[2], 1, -ay * ANGLE_FACTOR);
  SetRotation(&s[3], 2, -az * ANGLE_FACTOR);
  MatMultiply(&g_render.current, s[3]);
  MatMultiply(&g_render.current, s[2]);
  MatMultiply(&g_render.current, s[1]);
}

void TransformPoint(const Matrix4& m, double x, double y, double z, double out[3]) {
  out[0] = x * m.m[0] + y * m.m[4] + z * m.m[8] + m.m[12];
  out[1] = x * m.m[1] + y * m.m[5] + z * m.m[9] + m.m[13];
  out[2] = x * m.m[2] + y * m.m[6] + z * m.m[10] + m.m[14];
}
