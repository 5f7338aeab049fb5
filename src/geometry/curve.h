// Key-framed curves: one channel of an object's animation.
//
// A curve is a doubly linked list of keys in the order they were added; the data adds them
// in increasing time and nothing here sorts them. Each key says how the segment that starts
// at it is evaluated: linearly, or as a Kochanek-Bartels (tension, continuity, bias) Hermite
// spline.
#pragma once

#include <cstdint>

enum : int32_t {
  CURVE_LINEAR = 0,
  CURVE_TCB = 1,  // any other value leaves the channel untouched over that segment
};

struct CurveKey {
  int32_t time;  // frames of the owner's local time
  float value[3];  // single-valued channels (alpha, fov) use [0] only
  float tension;
  float continuity;
  float bias;
  int32_t interpolation;  // CURVE_LINEAR or CURVE_TCB, for the segment starting here
  CurveKey* next;
  CurveKey* prev;
};

struct Curve {
  CurveKey* keys;  // head, null when empty
  int32_t key_count;
  CurveKey* last;  // tail, null when empty: motion files hold many thousands of keys
};

// Appends a zero-filled key at the tail and returns it for the caller to fill.
CurveKey* AppendCurveKey(Curve* curve);

// Frees every key and leaves the curve empty.
void ClearCurve(Curve* curve);

CurveKey* LastCurveKey(const Curve* curve);

// The segment from key0 to key1 at time t (frames), three components into out.
void InterpolateLinear(const CurveKey* key0, const CurveKey* key1, float t, float out[3]);
void InterpolateTcb(const CurveKey* key0, const CurveKey* key1, float t, float out[3]);

// Writes the curve's value at time t into out, for a curve with keys:
// - one key: its value, whatever t is;
// - two or more: the segment whose start <= t < end, then the last key's value once t is
//   past it. Before the first key, and exactly at the last key's time, nothing is written,
//   so out keeps what the previous evaluation left there.
// Returns 0 for a curve without keys (nothing written), else 1.
int EvaluateCurve(const Curve* curve, float t, float out[3]);
