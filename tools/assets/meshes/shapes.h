// The cast's shapes as surface functions for the pole-to-pole grid of surface.h: Zibo, the
// little fish, who puffs up into a spiny ball when the big waves come; Mamma, the big fish;
// and the heart that beats on the end card. The skins (skins.h) are painted on the same
// (s, angle) parameters, so a feature painted at a place lands on the shape's bump there.
//
// A fish is a body of revolution along x, head to the right (+x) and back up (+y): an
// elliptic head, a body that narrows to the tail's root, a flat tail fin, a swept dorsal fin
// and two eye domes. s runs 0 at the nose to 1 at the tail's end; angle 0 is the top of the
// back, pi / 2 the middle of the flank on +z, pi the belly, 3 pi / 2 the other flank.
#pragma once

#include <numbers>

#include "meshes/surface.h"

namespace assets {

struct FishLook {
  float length;
  float radius;     // body height at its fullest
  float width;      // body thickness over height
  float root;       // tail root radius over body radius
  float tail;       // tail fin half height
  float fork;       // how much further back the tail's tips reach than its middle, over the tail's length
  float fin;        // dorsal fin height
  float eye;        // eye dome height
  float eye_at;     // the eye's place along the body part (0 nose .. 1 tail root)
  float puff;       // 0 slim, 1 a ball
};

// Where the tail fin starts along s, and where the eyes sit round the body (from the top,
// on each flank).
constexpr float BODY_END = 0.74f;
constexpr float EYE_ANGLE = std::numbers::pi_v<float> * 0.36f;
// The dorsal fin's span along the body part (0 nose .. 1 tail root).
constexpr float DORSAL_FROM = 0.34f, DORSAL_TO = 0.74f;

// Zibo: short, round and big-eyed, with a rounded fan of a tail.
inline constexpr FishLook ZIBO = {.length = 34.0f, .radius = 9.5f, .width = 0.8f, .root = 0.26f, .tail = 8.5f,
                                  .fork = -0.3f, .fin = 5.5f, .eye = 1.6f, .eye_at = 0.2f, .puff = 0.0f};
// Mamma: three times his length, slender, a tall dorsal fin and a forked tail.
inline constexpr FishLook MAMMA = {.length = 110.0f, .radius = 20.0f, .width = 0.64f, .root = 0.16f, .tail = 22.0f,
                                   .fork = 0.5f, .fin = 10.0f, .eye = 3.0f, .eye_at = 0.15f, .puff = 0.0f};

Vec3 FishPoint(const FishLook& look, float s, float angle);

// The eye's centre on the surface (the top of its dome) on the viewer's flank.
Vec3 FishEyeCentre(const FishLook& look);

// How high the dorsal fin rises at (s, angle), 0 off the fin.
float DorsalFinHeight(const FishLook& look, float s, float angle);

// The heart: the classic sextic heart surface, y up. s runs from its top pole to its bottom.
struct HeartLook {
  float size;       // half width of a lobe pair, roughly
  float thickness;  // depth over width
};

inline constexpr HeartLook HEART = {.size = 40.0f, .thickness = 1.25f};
inline constexpr HeartLook HEART_BEAT = {.size = 47.0f, .thickness = 1.4f};

Vec3 HeartPoint(const HeartLook& look, float s, float angle);

}  // namespace assets
