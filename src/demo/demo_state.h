// The demo runtime's process-wide state: the frame, the timeline clock with the part it has
// chosen, and the frame timer. Every demo part is given its frame's delta and the frame to
// draw into.
#pragma once

#include "demo/frame_buffer.h"
#include "demo/frame_timer.h"
#include "demo/timeline.h"

class Counter;

struct DemoState {
  FrameBuffer frame_buffer;
  DemoClock clock;  // seconds drive the timeline; next_part draws the next frame
  FrameTimer timer;
  Counter* counter;  // what the frame timer reads: the run's, from its start; none: real time
  DemoPartId painted_by;  // the part whose paint the frame buffer holds (with its damage)
};

extern DemoState g_demo;

// The damage record of the frame buffer when frame is its frame, else null (a frame of a
// test or a tool, about which nothing is kept).
BackdropDamage* BackdropDamageOf(const Texture* frame);
// Nothing known of the frame: its next scene paint puts back the whole backdrop.
void ForgetBackdropDamage(const Texture* frame);

// Back to the state before a run: tests call it between runs.
void ResetDemoState();
