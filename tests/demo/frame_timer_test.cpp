#include <gtest/gtest.h>

#include <vector>

#include "demo/frame_timer.h"
#include "platform/counter.h"

namespace {

// A counter that advances by a fixed step on every read and counts its reads.
class SteppingCounter final : public Counter {
 public:
  SteppingCounter(int64_t frequency, int64_t step) : frequency_(frequency), step_(step) {}
  int64_t Read() override {
    ++reads;
    value_ += step_;
    return value_;
  }
  int64_t Frequency() override { return frequency_; }
  void Jump(int64_t counts) { value_ += counts; }
  int64_t reads = 0;

 private:
  int64_t frequency_;
  int64_t step_;
  int64_t value_ = 1000;
};

class FrameTimerTest : public ::testing::Test {};

TEST_F(FrameTimerTest, StartSetsOriginAndZeroDelta) {
  SteppingCounter counter(1000, 5);
  FrameTimer timer{};
  timer.delta = 3.0f;
  StartTimer(&timer, counter);
  EXPECT_EQ(timer.delta, 0.0f);
  EXPECT_DOUBLE_EQ(timer.seconds_per_count, 0.001);
  // The second read is one step after the origin.
  EXPECT_FLOAT_EQ(timer.last_time, 0.005f);
}

TEST_F(FrameTimerTest, FirstTickReturnsTheWorkSinceStart) {
  SteppingCounter counter(1000, 1);
  FrameTimer timer{};
  StartTimer(&timer, counter);
  counter.Jump(250);  // a quarter second of loading between start and the first tick
  TickTimer(&timer, counter);
  EXPECT_NEAR(timer.delta, 0.251f, 1e-6);
  EXPECT_NEAR(timer.fps, 1.0f / 0.251f, 1e-3);
}

TEST_F(FrameTimerTest, ImmediateTicksSpinUntilFloatTimeChanges) {
  // One count is a nanosecond: once the clock is at 1000 s, float32 cannot tell most
  // neighbouring counts apart, so a tick must read many times before time moves.
  SteppingCounter counter(1000000000, 1);
  FrameTimer timer{};
  StartTimer(&timer, counter);
  counter.Jump(int64_t{1000} * 1000000000);
  TickTimer(&timer, counter);
  const int64_t reads_before = counter.reads;
  const float before = timer.last_time;
  TickTimer(&timer, counter);
  EXPECT_GT(counter.reads - reads_before, 1);
  EXPECT_GT(timer.delta, 0.0f);
  EXPECT_NE(timer.last_time, before);
  EXPECT_EQ(timer.now_time, timer.last_time);
}

TEST_F(FrameTimerTest, SumOfDeltasReproducesLastTime) {
  VirtualCounter counter(60);
  FrameTimer timer{};
  StartTimer(&timer, counter);
  const float origin = timer.last_time;
  double sum = 0.0;
  for (int i = 0; i < 6000; ++i) {
    TickTimer(&timer, counter);
    EXPECT_GT(timer.delta, 0.0f);
    sum += timer.delta;
  }
  EXPECT_NEAR(origin + sum, timer.last_time, 1e-3);
  EXPECT_NEAR(timer.last_time, 6001.0 / 60.0, 1e-3);
}

}  // namespace
