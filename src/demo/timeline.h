// The timeline: which part draws, chosen from the demo clock after each frame is drawn.
#pragma once

#include <cstdint>

constexpr float kIntroEnds = 20.0f;   // seconds
constexpr float kMammaEnds = 29.0f;
constexpr float kSwimEnds = 80.0f;
constexpr float kDemoEnds = 116.0f;

// The parts in timeline order; kNone draws nothing.
enum class DemoPartId : int32_t { kNone = 0, kIntro = 1, kMamma1 = 2, kSwim = 3, kSwam = 4 };

// The part for the next frame. All comparisons are strict, so a clock exactly on a boundary
// keeps the current part for one more frame.
DemoPartId ChoosePart(float demo_clock, DemoPartId current_part);

// True once the clock is strictly past the end: that frame is drawn but not presented.
bool TimelineEnded(float demo_clock);

// The demo clock and the part it has chosen: the running sum of the frame timer's deltas,
// and the part that draws the next frame.
struct DemoClock {
  float seconds = 0.0f;
  DemoPartId part = DemoPartId::kIntro;
};

// One frame on the clock, the one place the rule is written: the clock takes the frame's
// delta, and the part that draws this frame (chosen after the frame before) is returned
// while the clock chooses the next frame's. The frame loop, the seek's search and its replay
// all go through here.
DemoPartId AdvanceDemoClock(DemoClock* clock, float delta);
