// Linear and TCB segments, the channel scan, holds and the empty segments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "geometry/curve.h"

namespace {

constexpr float UNTOUCHED = -12345.0f;

struct TestCurve {
  Curve curve{};
  ~TestCurve() { ClearCurve(&curve); }
  CurveKey* Add(int32_t time, float x, int32_t interpolation, float tension = 0, float continuity = 0,
                float bias = 0) {
    CurveKey* key = AppendCurveKey(&curve);
    key->time = time;
    key->value[0] = x;
    key->value[1] = 2 * x;
    key->value[2] = -x;
    key->interpolation = interpolation;
    key->tension = tension;
    key->continuity = continuity;
    key->bias = bias;
    return key;
  }
  // Evaluates into a value that starts out untouched, so a test sees whether anything was written.
  float At(float t) {
    float out[3] = {UNTOUCHED, UNTOUCHED, UNTOUCHED};
    EvaluateCurve(&curve, t, out);
    return out[0];
  }
};

TEST(CurveKeys, AppendKeepsOrderAndLinks) {
  TestCurve c;
  CurveKey* a = c.Add(0, 1, CURVE_LINEAR);
  CurveKey* b = c.Add(10, 2, CURVE_LINEAR);
  CurveKey* d = c.Add(5, 3, CURVE_LINEAR);  // out of time order: kept as added
  EXPECT_EQ(c.curve.keys, a);
  EXPECT_EQ(c.curve.key_count, 3);
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->next, d);
  EXPECT_EQ(d->prev, b);
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(a->prev, nullptr);
  EXPECT_EQ(d->next, nullptr);
  EXPECT_EQ(LastCurveKey(&c.curve), d);
}

TEST(CurveKeys, NewKeyIsZeroFilled) {
  Curve curve{};
  CurveKey* key = AppendCurveKey(&curve);
  EXPECT_EQ(key->time, 0);
  EXPECT_EQ(key->value[0], 0.0f);
  EXPECT_EQ(key->tension, 0.0f);
  EXPECT_EQ(key->interpolation, CURVE_LINEAR);
  ClearCurve(&curve);
  EXPECT_EQ(curve.keys, nullptr);
  EXPECT_EQ(curve.key_count, 0);
  EXPECT_EQ(LastCurveKey(&curve), nullptr);
  CurveKey* again = AppendCurveKey(&curve);  // a cleared curve starts over
  EXPECT_EQ(curve.keys, again);
  EXPECT_EQ(again->prev, nullptr);
  ClearCurve(&curve);
}

TEST(LinearCurve, MidpointHoldAndExactEnd) {
  TestCurve c;
  c.Add(0, 0, CURVE_LINEAR);
  c.Add(30, 30, CURVE_LINEAR);
  EXPECT_FLOAT_EQ(c.At(15), 15.0f);
  EXPECT_FLOAT_EQ(c.At(31), 30.0f);
  // Exactly at the last key neither the segment (t < 30) nor the hold (30 < t) applies.
  EXPECT_EQ(c.At(30), UNTOUCHED);
  EXPECT_EQ(c.At(0), 0.0f);
}

TEST(LinearCurve, AllThreeComponents) {
  TestCurve c;
  c.Add(0, 0, CURVE_LINEAR);
  c.Add(10, 10, CURVE_LINEAR);
  float out[3] = {};
  EvaluateCurve(&c.curve, 2.5f, out);
  EXPECT_FLOAT_EQ(out[0], 2.5f);
  EXPECT_FLOAT_EQ(out[1], 5.0f);
  EXPECT_FLOAT_EQ(out[2], -2.5f);
}

TEST(LinearCurve, NothingBeforeTheFirstKey) {
  TestCurve c;
  c.Add(10, 1, CURVE_LINEAR);
  c.Add(20, 2, CURVE_LINEAR);
  EXPECT_EQ(c.At(9.99f), UNTOUCHED);
  EXPECT_EQ(c.At(-5), UNTOUCHED);
}

TEST(LinearCurve, PastTheEndIsTheEndValue) {
  CurveKey k0{}, k1{};
  k0.time = 0;
  k1.time = 4;
  k1.value[0] = 8;
  float out[3] = {};
  InterpolateLinear(&k0, &k1, 6, out);
  EXPECT_EQ(out[0], 8.0f);
  InterpolateLinear(&k0, &k1, 1, out);
  EXPECT_FLOAT_EQ(out[0], 2.0f);
}

TEST(LinearCurve, NegativeKeyTimes) {
  TestCurve c;
  c.Add(-15, -1, CURVE_LINEAR);
  c.Add(15, 1, CURVE_LINEAR);
  EXPECT_FLOAT_EQ(c.At(0), 0.0f);
  EXPECT_FLOAT_EQ(c.At(-7.5f), -0.5f);
}

TEST(TcbCurve, CatmullRomExample) {
  TestCurve c;
  c.Add(0, 0, CURVE_TCB);
  c.Add(10, 10, CURVE_TCB);
  c.Add(20, 0, CURVE_TCB);
  // S0 = 10 (no key before), D1 = (10 + (0 - 10)) x 10 / 20 = 0, h = 0.5: 5 + 0.125 x 10.
  EXPECT_FLOAT_EQ(c.At(5), 6.25f);
  EXPECT_FLOAT_EQ(c.At(10), 10.0f);
  EXPECT_FLOAT_EQ(c.At(15), 6.25f);  // mirror image of the first segment
  EXPECT_FLOAT_EQ(c.At(25), 0.0f);   // held after the end
}

TEST(TcbCurve, FullTensionEasesAlongSmoothstep) {
  TestCurve c;
  c.Add(0, 2, CURVE_TCB, 1);
  c.Add(8, 6, CURVE_TCB, 1);
  // Zero tangents: value = P0 + h (P1 - P0) with h = 3s^2 - 2s^3.
  EXPECT_FLOAT_EQ(c.At(2), 2 + 4 * (3 * 0.0625f - 2 * 0.015625f));
  EXPECT_FLOAT_EQ(c.At(4), 4.0f);
  EXPECT_FLOAT_EQ(c.At(6), 2 + 4 * (3 * 0.5625f - 2 * 0.421875f));
}

TEST(TcbCurve, UnevenSpacingIsTimeAdjusted) {
  // Collinear keys at 0, 10 and 30: with the time adjustment the outgoing tangent at 10 is
  // (10 + 20) x 20 / 30 = 20 = d and the spline stays on the line; without it, it would not.
  TestCurve c;
  c.Add(0, 0, CURVE_TCB);
  c.Add(10, 10, CURVE_TCB);
  c.Add(30, 30, CURVE_TCB);
  EXPECT_FLOAT_EQ(c.At(15), 15.0f);
  EXPECT_FLOAT_EQ(c.At(20), 20.0f);
  EXPECT_FLOAT_EQ(c.At(25), 25.0f);
}

TEST(TcbCurve, BiasActsOnTheIncomingTangent) {
  TestCurve c;
  c.Add(0, 0, CURVE_TCB);
  c.Add(10, 10, CURVE_TCB, 0, 0, 1);
  c.Add(20, 0, CURVE_TCB);
  // D1 = (1)(1)(2) x 10 x 10 / 20 = 10 (the term toward the next key vanishes with bias 1),
  // S0 = 10: 5 + 0.125 x 10 - 0.125 x 10 = 5.
  EXPECT_FLOAT_EQ(c.At(5), 5.0f);
}

TEST(TcbCurve, ContinuityAtAnEnd) {
  TestCurve c;
  c.Add(0, 0, CURVE_TCB, 0, 1);  // (1 - C0) = 0: no outgoing tangent
  c.Add(10, 10, CURVE_TCB);
  // S0 = 0, D1 = d = 10: 5 + 0 + (0.125 - 0.25) x 10.
  EXPECT_FLOAT_EQ(c.At(5), 3.75f);
}

// Key times come from files: segments longer than an int32 reaches must not overflow.
TEST(CurveScan, KeysAtTheEndsOfTheTimeRange) {
  TestCurve linear;
  linear.Add(INT32_MIN, -1, CURVE_LINEAR);
  linear.Add(INT32_MAX, 1, CURVE_LINEAR);
  EXPECT_NEAR(linear.At(0), 0.0f, 1e-6f);

  TestCurve tcb;
  tcb.Add(INT32_MIN, 0, CURVE_TCB);
  tcb.Add(0, 10, CURVE_TCB);
  tcb.Add(INT32_MAX, 0, CURVE_TCB);
  // Mirror images of each other around the middle key, as with the keys at 0, 10 and 20.
  EXPECT_FLOAT_EQ(tcb.At(-1073741824.0f), 6.25f);
  EXPECT_FLOAT_EQ(tcb.At(1073741824.0f), 6.25f);
}

TEST(CurveScan, UnknownInterpolationWritesNothing) {
  TestCurve c;
  c.Add(0, 0, 2);
  c.Add(10, 10, CURVE_LINEAR);
  c.Add(20, 20, CURVE_LINEAR);
  EXPECT_EQ(c.At(5), UNTOUCHED);
  EXPECT_FLOAT_EQ(c.At(15), 15.0f);
  EXPECT_FLOAT_EQ(c.At(25), 20.0f);
}

TEST(CurveScan, KeysAtTheSameTimeMakeAnEmptySegment) {
  TestCurve c;
  c.Add(0, 0, CURVE_TCB);
  c.Add(10, 5, CURVE_TCB);
  c.Add(10, 7, CURVE_TCB);
  c.Add(20, 9, CURVE_TCB);
  float v = c.At(10);
  EXPECT_TRUE(std::isfinite(v));
  EXPECT_FLOAT_EQ(v, 7.0f);  // the segment starting at the second key of time 10
  EXPECT_TRUE(std::isfinite(c.At(9.5f)));
}

TEST(CurveScan, SingleKeyHoldsEverywhere) {
  TestCurve c;
  c.Add(50, 3, CURVE_TCB);
  EXPECT_EQ(c.At(0), 3.0f);
  EXPECT_EQ(c.At(-100), 3.0f);
  EXPECT_EQ(c.At(1000), 3.0f);
}

TEST(CurveScan, EmptyCurveWritesNothing) {
  Curve empty{};
  float out[3] = {UNTOUCHED, UNTOUCHED, UNTOUCHED};
  EXPECT_EQ(EvaluateCurve(&empty, 0, out), 0);
  EXPECT_EQ(out[0], UNTOUCHED);
}

}  // namespace
