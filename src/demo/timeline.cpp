#include "demo/timeline.h"

int32_t ChoosePart(float clock, int32_t part) {
  if (clock > kIntroEnds && clock < kMammaEnds) part = 2;
  if (clock > kMammaEnds && clock < kSwimEnds) part = 3;
  if (clock > kSwimEnds && clock < kDemoEnds) part = 4;
  return part;
}

bool TimelineEnded(float clock) { return clock > kDemoEnds; }
