// The characters and the prop of the 3D scenes: Zibo, the little fish, who puffs up into a
// round ball when the big waves come; Mamma, the big fish; and the heart that beats on the
// end card. Each is one smooth closed surface (the sphere map shades them, so curvature is
// all that shows), and each morph target is the same grid sampled from a second shape.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "meshes/surface.h"
#include "pack/content.h"

namespace assets {

namespace {

constexpr float PI = std::numbers::pi_v<float>;

float SmoothStep01(float edge0, float edge1, float x) {
  float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

// A fish as a body of revolution along x, head to the right: an elliptic head, a body that
// narrows to the tail's root, a tall flat tail fin, a ridge of dorsal fin and two eye bumps.
// puff swells the body into a ball (with soft spines) and shrinks the fins.
struct FishLook {
  float length;
  float radius;      // body height at its fullest
  float width;       // body thickness over height
  float root;        // tail root radius over body radius
  float tail;        // tail fin half height
  float fin;         // dorsal ridge height
  float eye;         // eye bump height
  float puff;        // 0 slim, 1 a ball
};

constexpr float BODY_END = 0.74f;  // where the tail fin starts, along s
constexpr float HEAD = 0.38f;      // where the head's ellipse meets the body, along the body
constexpr float EYE_ANGLE = PI / 3.0f;  // from the top of the body round to each eye

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

float Bump(float d, float width) { return std::exp(-(d * d) / (width * width)); }

Vec3 FishPoint(const FishLook& f, float s, float angle) {
  float x = f.length * (0.5f - s);
  float up = std::cos(angle), side = std::sin(angle);
  if (s > BODY_END) {
    float v = (s - BODY_END) / (1.0f - BODY_END);
    float root = f.radius * f.root;
    float tail = f.tail * (1.0f - 0.45f * f.puff);
    float c = (v - 0.75f) / 0.25f;
    float close = v > 0.75f ? std::sqrt(std::max(0.0f, 1.0f - c * c)) : 1.0f;
    float ry = (root + (tail - root) * SmoothStep01(0.0f, 0.75f, v)) * close;
    float rz = root * f.width * (1.0f - 0.75f * v) * close;
    return {x, ry * up, rz * side};
  }
  float u = s / BODY_END;
  float r = SlimRadius(f, u) * (1.0f - f.puff) + PuffRadius(f, u) * f.puff;
  // Soft spines on the puffed ball: a lattice of bumps that shows on the outline.
  float spines = 1.0f + f.puff * 0.09f * std::pow(std::max(0.0f, std::cos(7.0f * angle) * std::sin(PI * 6.0f * u)), 4.0f);
  float ry = r * (up < 0.0f ? 0.92f : 1.0f) * spines;
  float rz = r * (f.width * (1.0f - f.puff) + 0.95f * f.puff) * spines;
  float ridge = f.fin * (1.0f - 0.7f * f.puff) * Bump(u - 0.5f, 0.14f) * std::pow(std::max(0.0f, up), 6.0f);
  // The eyes sit a third of the way down each flank, domes round in both directions.
  float from_eye = std::min(std::abs(angle - EYE_ANGLE), std::abs(angle - (2.0f * PI - EYE_ANGLE)));
  float eye = f.eye * Bump(u - 0.17f, 0.07f) * Bump(from_eye, 0.3f);
  return {x, ry * up + ridge + eye * up, rz * side + eye * side};
}

const FishLook ZIBO = {.length = 36.0f, .radius = 8.0f, .width = 0.78f, .root = 0.24f, .tail = 7.5f,
                       .fin = 2.6f, .eye = 2.4f, .puff = 0.0f};
const FishLook MAMMA = {.length = 110.0f, .radius = 21.0f, .width = 0.66f, .root = 0.17f, .tail = 21.0f,
                        .fin = 9.0f, .eye = 5.5f, .puff = 0.0f};
const SurfaceGrid ZIBO_GRID = {28, 24};
const SurfaceGrid MAMMA_GRID = {36, 28};

// The heart: the classic sextic heart surface, y up, scaled; sampled by casting a ray from
// its middle in each grid direction and keeping the outermost crossing.
struct HeartLook {
  float size;       // half width of a lobe pair, roughly
  float thickness;  // depth over width
};

float HeartField(float x, float y, float z) {
  float a = x * x + 2.25f * z * z + y * y - 1.0f;
  return a * a * a - x * x * y * y * y - 0.1125f * z * z * y * y * y;
}

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

Vec3 HeartPoint(const HeartLook& h, float s, float angle) {
  float polar = PI * s;
  float dx = std::sin(polar) * std::cos(angle), dy = std::cos(polar), dz = std::sin(polar) * std::sin(angle);
  float r = HeartReach(dx, dy, dz);
  // The field's middle sits low in the shape; lift it so the heart turns about its centre.
  return {h.size * r * dx, h.size * (r * dy - 0.1f), h.size * h.thickness * r * dz};
}

const HeartLook HEART = {.size = 40.0f, .thickness = 1.25f};
const HeartLook HEART_BEAT = {.size = 47.0f, .thickness = 1.4f};
const SurfaceGrid HEART_GRID = {32, 32};

ContentBytes FishMesh(FishLook look, float puff, SurfaceGrid grid, const char* surface) {
  look.puff = puff;
  return SurfaceLwo(grid, [&](float s, float a) { return FishPoint(look, s, a); }, surface);
}

ContentBytes HeartMesh(const HeartLook& look) {
  return SurfaceLwo(HEART_GRID, [&](float s, float a) { return HeartPoint(look, s, a); }, "Heart");
}

}  // namespace

ContentBytes MakeZiboMesh() { return FishMesh(ZIBO, 0.0f, ZIBO_GRID, "Zibo"); }
ContentBytes MakeZiboPuffedMesh() { return FishMesh(ZIBO, 1.0f, ZIBO_GRID, "Zibo"); }
ContentBytes MakeMammaMesh() { return FishMesh(MAMMA, 0.0f, MAMMA_GRID, "Mamma"); }
ContentBytes MakeHeartMesh() { return HeartMesh(HEART); }
ContentBytes MakeBeatingHeartMesh() { return HeartMesh(HEART_BEAT); }

}  // namespace assets
