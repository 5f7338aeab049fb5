// The frame timer: once per frame, the seconds since the previous frame.
//
// Times are (counter - start_count) * seconds_per_count, kept as 32-bit floats. Every clock
// of the demo is a running sum of the deltas this yields. The timer reads the counter it is
// given: the platform's for a run, a virtual one for a seek's replay.
#pragma once

#include <cstdint>

class Counter;

struct FrameTimer {
  int64_t start_count;
  float fps;                  // 1 / delta after the latest tick
  float last_time;            // seconds since start at the latest completed tick
  float now_time;             // seconds since start at the latest counter read
  float delta;                // seconds between the last two ticks; 0 after StartTimer
  double seconds_per_count;   // 1 / counter frequency
  int64_t last_count;         // the count read at the latest completed tick (or the start)
};

void StartTimer(FrameTimer* timer, Counter& counter);

// Busy-waits until the float time differs from last_time, so delta is never 0.
void TickTimer(FrameTimer* timer, Counter& counter);

// Takes the time since the latest tick out of the timer (a pause): the next tick measures
// from now. Times stay on the counts they had, so on a virtual counter the frames after a
// pause fall on the same clock values as a run without one.
void ResumeTimer(FrameTimer* timer, Counter& counter);
