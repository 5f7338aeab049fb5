#include "demo/frame_timer.h"

#include "platform/counter.h"

namespace {
float SecondsSinceStart(const FrameTimer& timer, int64_t count) {
  return static_cast<float>(static_cast<double>(count - timer.start_count) * timer.seconds_per_count);
}
}  // namespace

void StartTimer(FrameTimer* timer) {
  timer->seconds_per_count = 1.0 / static_cast<double>(CounterFrequency());
  timer->start_count = ReadCounter();
  timer->last_time = SecondsSinceStart(*timer, ReadCounter());
  timer->delta = 0.0f;
}

void TickTimer(FrameTimer* timer) {
  float t;
  do {
    t = SecondsSinceStart(*timer, ReadCounter());
    timer->now_time = t;
  } while (t == timer->last_time);
  timer->delta = t - timer->last_time;
  timer->last_time = t;
  timer->fps = 1.0f / timer->delta;
}
