#include "demo/timeline.h"

namespace {

const TimelinePart* FindTimelinePart(DemoPartId part) {
  for (const TimelinePart& entry : kTimeline) {
    if (entry.id == part) return &entry;
  }
  return nullptr;
}

}  // namespace

float PartStarts(DemoPartId part) {
  const TimelinePart* entry = FindTimelinePart(part);
  return entry ? entry->starts : 0.0f;
}

float PartEnds(DemoPartId part) {
  const TimelinePart* entry = FindTimelinePart(part);
  if (!entry) return 0.0f;
  return entry + 1 < kTimeline + kTimelineParts ? entry[1].starts : kDemoEnds;
}

const char* DemoPartName(DemoPartId part) {
  const TimelinePart* entry = FindTimelinePart(part);
  return entry ? entry->name : "";
}

DemoPartId DemoPartAt(float seconds) {
  DemoPartId part = kTimeline[0].id;
  for (const TimelinePart& entry : kTimeline) {
    if (seconds >= entry.starts) part = entry.id;
  }
  return part;
}

DemoPartId ChoosePart(float clock, DemoPartId part) {
  for (int i = 1; i < kTimelineParts; ++i) {
    if (clock > kTimeline[i].starts && clock < PartEnds(kTimeline[i].id)) part = kTimeline[i].id;
  }
  return part;
}

bool TimelineEnded(float clock) { return clock > kDemoEnds; }

DemoPartId AdvanceDemoClock(DemoClock* clock, float delta) {
  const DemoPartId drawing = clock->next_part;
  clock->seconds += delta;
  clock->next_part = ChoosePart(clock->seconds, clock->next_part);
  return drawing;
}
