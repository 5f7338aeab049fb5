// The timeline: which part draws, chosen from the demo clock after each frame is drawn.
#pragma once

#include <cstdint>

constexpr float kIntroEnds = 20.0f;   // seconds
constexpr float kMammaEnds = 29.0f;
constexpr float kSwimEnds = 80.0f;
constexpr float kDemoEnds = 116.0f;

// The part for the next frame. All comparisons are strict, so a clock exactly on a boundary
// keeps the current part for one more frame.
int32_t ChoosePart(float demo_clock, int32_t current_part);

// True once the clock is strictly past the end: that frame is drawn but not presented.
bool TimelineEnded(float demo_clock);
