// The demo runtime's process-wide state: the frame, the timeline clock with the part it has
// chosen, and the frame timer. Every demo part is given its frame's delta and the frame to
// draw into.
#pragma once

#include "demo/frame_buffer.h"
#include "demo/frame_timer.h"
#include "demo/timeline.h"

struct DemoState {
  FrameBuffer frame_buffer;
  DemoClock clock;  // seconds drive the timeline; part draws the next frame
  FrameTimer timer;
};

extern DemoState g_demo;

// Back to the state before a run: tests call it between runs.
void ResetDemoState();
