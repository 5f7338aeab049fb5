// The demo runtime's process-wide state: the frame, the timeline clock, the part being
// shown and the frame timer. Every demo part reads its frame's delta from timer.delta and
// draws into frame_buffer.frame.
#pragma once

#include <cstdint>

#include "demo/frame_buffer.h"
#include "demo/frame_timer.h"

struct DemoState {
  FrameBuffer frame_buffer;
  float demo_clock;      // seconds: the running sum of timer deltas; drives the timeline
  int32_t current_part;  // 1 intro, 2 "mamma1", 3 "swim", 4 "swam"
  FrameTimer timer;
};

extern DemoState g_demo;

// Back to the state before a run: tests call it between runs.
void ResetDemoState();
