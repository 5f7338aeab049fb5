#include "meshes/shapes.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

constexpr float PI = std::numbers::pi_v<float>;
constexpr float HEAD = 0.38f;  // where the head's ellipse meets the body, along the body part

float SmoothStep01(float edge0, float edge1, float x) {
  float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

float Bump(float d, float width) { return std::exp(-(d * d) / (width * width)); }

// Body radius along u = 0..1 of the body part (nose to tail root).
float SlimRadius(const FishLook& f, float u) {
  if (u < HEAD) {
    float a = (HEAD - u) / HEAD;
    return f.radius * std::sqrt(std::max(0.0f, 1.0f - a * a));
  }
  float k = 0.5f + 0.5f * std::cos(PI * (u - HEAD) / (1.0f - HEAD));
  return f.radius * (f.root + (1.0f - f.root) * k);
}

// The puffed body: a ball over the body part that keeps the tail root's size at its end.
float PuffRadius(const FishLook& f, float u) {
  float ball = 0.5f * BODY_END * f.length * 0.92f;
  float a = 2.0f * u - 1.0f;
  float r = ball * std::sqrt(std::max(0.0f, 1.0f - a * a));
  return std::max(r, f.radius * f.root * SmoothStep01(0.7f, 1.0f, u));
}

// The eye dome's spread: round on the body, a fifth of the body's height across.
float EyeSpreadAlong(const FishLook& f) { return 0.2f * f.radius / (BODY_END * f.length); }
float EyeSpreadAround(const FishLook& f) { return 0.2f * f.radius / SlimRadius(f, f.eye_at); }

// The flat tail fin: it widens from the root, thins to a blade, and its outline runs back
// to tips above and below (fork > 0) or bulges back in the middle like a fan (fork < 0).
Vec3 TailPoint(const FishLook& f, float s, float up, float side) {
  float tail_length = f.length * (1.0f - BODY_END);
  float root_x = f.length * (0.5f - BODY_END);
  if (s >= 1.0f) return {root_x - tail_length, 0.0f, 0.0f};
  float v = (s - BODY_END) / (1.0f - BODY_END);
  float root = f.radius * f.root;
  float tail = f.tail * (1.0f - 0.45f * f.puff);
  float ry = root + (tail - root) * SmoothStep01(0.0f, 0.85f, v);
  float rz = root * f.width * (1.0f - 0.8f * v);
  float reach = v * (1.0f + f.fork * up * up);
  return {root_x - tail_length * reach, ry * up, rz * side};
}

}  // namespace

float DorsalFinHeight(const FishLook& f, float s, float angle) {
  float u = s / BODY_END;
  float t = (u - DORSAL_FROM) / (DORSAL_TO - DORSAL_FROM);
  float up = std::cos(angle);
  if (t <= 0.0f || t >= 1.0f || up <= 0.0f) return 0.0f;
  // Swept back: a steep leading edge, the highest point a third of the way along, a long
  // trailing slope.
  float profile = std::pow(std::sin(PI * std::pow(t, 0.6f)), 1.5f);
  return f.fin * profile * std::pow(up, 4.0f);
}

Vec3 FishPoint(const FishLook& f, float s, float angle) {
  float up = std::cos(angle), side = std::sin(angle);
  if (s > BODY_END) return TailPoint(f, s, up, side);
  float x = f.length * (0.5f - s);
  float u = s / BODY_END;
  float r = SlimRadius(f, u) * (1.0f - f.puff) + PuffRadius(f, u) * f.puff;
  // Soft spines on the puffed ball: a lattice of bumps that shows on the outline.
  float spines = 1.0f + f.puff * 0.09f * std::pow(std::max(0.0f, std::cos(7.0f * angle) * std::sin(PI * 6.0f * u)), 4.0f);
  float ry = r * (up < 0.0f ? 0.92f : 1.0f) * spines;
  float rz = r * (f.width * (1.0f - f.puff) + 0.95f * f.puff) * spines;
  float ridge = DorsalFinHeight(f, s, angle) * (1.0f - 0.7f * f.puff);
  // The eyes, one on each flank, domes round in both directions.
  float from_eye = std::min(std::abs(angle - EYE_ANGLE), std::abs(angle - (2.0f * PI - EYE_ANGLE)));
  float eye = f.eye * (1.0f - 0.3f * f.puff) * Bump(u - f.eye_at, EyeSpreadAlong(f)) * Bump(from_eye, EyeSpreadAround(f));
  return {x, ry * up + ridge + eye * up, rz * side + eye * side};
}

Vec3 FishEyeCentre(const FishLook& look) {
  FishLook slim = look;
  slim.puff = 0.0f;
  return FishPoint(slim, look.eye_at * BODY_END, EYE_ANGLE);
}

namespace {

float HeartField(float x, float y, float z) {
  float a = x * x + 2.25f * z * z + y * y - 1.0f;
  return a * a * a - x * x * y * y * y - 0.1125f * z * z * y * y * y;
}

// Sampled by casting a ray from the heart's middle in each grid direction and keeping the
// outermost crossing.
float HeartReach(float dx, float dy, float dz) {
  constexpr int STEPS = 240;
  constexpr float FAR = 2.0f;
  float r = FAR;
  for (int i = 0; i < STEPS && HeartField(r * dx, r * dy, r * dz) > 0.0f; ++i) r -= FAR / float(STEPS);
  float lo = r, hi = std::min(FAR, r + FAR / float(STEPS));
  for (int i = 0; i < 32; ++i) {
    float mid = 0.5f * (lo + hi);
    (HeartField(mid * dx, mid * dy, mid * dz) > 0.0f ? hi : lo) = mid;
  }
  return lo;
}

}  // namespace

Vec3 HeartPoint(const HeartLook& h, float s, float angle) {
  float polar = PI * s;
  float dx = std::sin(polar) * std::cos(angle), dy = std::cos(polar), dz = std::sin(polar) * std::sin(angle);
  float r = HeartReach(dx, dy, dz);
  // The field's middle sits low in the shape; lift it so the heart turns about its centre.
  return {h.size * r * dx, h.size * (r * dy - 0.1f), h.size * h.thickness * r * dz};
}

}  // namespace assets
