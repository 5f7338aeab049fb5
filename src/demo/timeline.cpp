#include "demo/timeline.h"

DemoPartId ChoosePart(float clock, DemoPartId part) {
  if (clock > kIntroEnds && clock < kMammaEnds) part = DemoPartId::kMamma1;
  if (clock > kMammaEnds && clock < kSwimEnds) part = DemoPartId::kSwim;
  if (clock > kSwimEnds && clock < kDemoEnds) part = DemoPartId::kSwam;
  return part;
}

bool TimelineEnded(float clock) { return clock > kDemoEnds; }

DemoPartId AdvanceDemoClock(DemoClock* clock, float delta) {
  const DemoPartId drawing = clock->part;
  clock->seconds += delta;
  clock->part = ChoosePart(clock->seconds, clock->part);
  return drawing;
}
