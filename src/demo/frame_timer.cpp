#include "demo/frame_timer.h"

#include "platform/counter.h"

namespace {
float SecondsSinceStart(const FrameTimer& timer, int64_t count) {
  return static_cast<float>(static_cast<double>(count - timer.start_count) * timer.seconds_per_count);
}
}  // namespace

void StartTimer(FrameTimer* timer, Counter& counter) {
  timer->seconds_per_count = 1.0 / static_cast<double>(counter.Frequency());
  timer->start_count = counter.Read();
  timer->last_count = counter.Read();
  timer->last_time = SecondsSinceStart(*timer, timer->last_count);
  timer->delta = 0.0f;
}

void TickTimer(FrameTimer* timer, Counter& counter) {
  float t;
  int64_t count;
  do {
    count = counter.Read();
    t = SecondsSinceStart(*timer, count);
    timer->now_time = t;
  } while (t == timer->last_time);
  timer->last_count = count;
  timer->delta = t - timer->last_time;
  timer->last_time = t;
  timer->fps = 1.0f / timer->delta;
}

void ResumeTimer(FrameTimer* timer, Counter& counter) {
  const int64_t now = counter.Read();
  timer->start_count += now - timer->last_count;
  timer->last_count = now;
}
