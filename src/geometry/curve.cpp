#include "geometry/curve.h"

CurveKey* AppendCurveKey(Curve* curve) {
  CurveKey* key = new CurveKey{};
  if (curve->last) {
    curve->last->next = key;
    key->prev = curve->last;
  } else {
    curve->keys = key;
  }
  curve->last = key;
  curve->key_count++;
  return key;
}

void ClearCurve(Curve* curve) {
  CurveKey* key = curve->keys;
  while (key) {
    CurveKey* next = key->next;
    delete key;
    key = next;
  }
  curve->keys = nullptr;
  curve->key_count = 0;
  curve->last = nullptr;
}

CurveKey* LastCurveKey(const Curve* curve) { return curve->last; }

// Time differences are taken between the integer key times and only then converted, so a
// segment's length is exact however large the times grow. They are taken in 64 bits: key
// times come from files and may lie further apart than an int32 reaches.
static int64_t TimeBetween(const CurveKey* from, const CurveKey* to) { return (int64_t)to->time - from->time; }

void InterpolateLinear(const CurveKey* key0, const CurveKey* key1, float t, float out[3]) {
  float span = (float)TimeBetween(key0, key1);
  float into = t - (float)key0->time;
  for (int c = 0; c < 3; c++) {
    if (t > (float)key1->time) {
      out[c] = key1->value[c];
      continue;
    }
    float p0 = key0->value[c];
    float p1 = key1->value[c];
    out[c] = p0 + (p1 - p0) / span * into;
  }
}

// The difference d and the blend h are rounded to float; the tangents, s and the final sum
// are carried in double and rounded once when stored. These roundings decide where objects
// end up on screen, so they are kept exactly.
void InterpolateTcb(const CurveKey* key0, const CurveKey* key1, float t, float out[3]) {
  const CurveKey* before = key0->prev;
  const CurveKey* after = key1->next;
  int64_t span = TimeBetween(key0, key1);

  double t0 = 1.0 - key0->tension, c0 = key0->continuity, b0 = key0->bias;
  double t1 = 1.0 - key1->tension, c1 = key1->continuity, b1 = key1->bias;

  double s = ((double)t - key0->time) / (double)span;
  double s2 = s * s;
  double s3 = s2 * s;
  float h = (float)(3.0 * s2 - 2.0 * s3);

  for (int c = 0; c < 3; c++) {
    double p0 = key0->value[c];
    double p1 = key1->value[c];
    float d = key1->value[c] - key0->value[c];

    double out_tangent;
    if (before) {
      double from_before = p0 - before->value[c];
      out_tangent = (t0 * (1.0 + c0) * (1.0 + b0) * from_before + t0 * (1.0 - c0) * (1.0 - b0) * d) *
                    span / (double)TimeBetween(before, key1);
    } else {
      out_tangent = t0 * (1.0 - c0) * (1.0 - b0) * d;
    }

    double in_tangent;
    if (after) {
      double to_after = after->value[c] - p1;
      in_tangent = (t1 * (1.0 - c1) * (1.0 + b1) * d + t1 * (1.0 + c1) * (1.0 - b1) * to_after) * span /
                   (double)TimeBetween(key0, after);
    } else {
      in_tangent = t1 * (1.0 - c1) * (1.0 + b1) * d;
    }

    out[c] = (float)((1.0 - h) * p0 + h * p1 + (s3 - 2.0 * s2 + s) * out_tangent + (s3 - s2) * in_tangent);
  }
}

static void CopyKeyValue(const CurveKey* key, float out[3]) {
  out[0] = key->value[0];
  out[1] = key->value[1];
  out[2] = key->value[2];
}

int EvaluateCurve(const Curve* curve, float t, float out[3]) {
  if (curve->key_count <= 0 || !curve->keys) return 0;
  if (curve->key_count == 1) {
    CopyKeyValue(curve->keys, out);
    return 1;
  }
  // Every pair is visited; with keys in increasing time at most one segment contains t.
  // Segments of zero length never match, so they never divide by zero.
  const CurveKey* last = curve->keys;
  for (const CurveKey* key = curve->keys; key->next; key = key->next) {
    const CurveKey* next = key->next;
    last = next;
    if (!((float)key->time <= t && t < (float)next->time)) continue;
    if (key->interpolation == CURVE_LINEAR) InterpolateLinear(key, next, t, out);
    else if (key->interpolation == CURVE_TCB) InterpolateTcb(key, next, t, out);
  }
  if ((float)last->time < t) CopyKeyValue(last, out);
  return 1;
}
