// The timeline: which part draws, chosen from the demo clock after each frame is drawn.
#pragma once

#include <cstdint>

constexpr float kDemoEnds = 116.0f;  // seconds

// The parts in timeline order; kNone draws nothing.
enum class DemoPartId : int32_t { kNone = 0, kIntro = 1, kMamma1 = 2, kSwim = 3, kSwam = 4 };

// The table of parts on the timeline, in order: each plays from its start to the next one's,
// the last to kDemoEnds. Everything that says when or which part plays reads it: the run's
// choice of part, the player's part under the pointer and its seek bar's chapter marks, the
// page's chapters (through the page program), the tests and the benchmarks.
struct TimelinePart {
  DemoPartId id;
  const char* name;  // as the demo's messages, the player and the page say it
  float starts;      // seconds
};
constexpr TimelinePart kTimeline[] = {
    {DemoPartId::kIntro, "intro", 0.0f},
    {DemoPartId::kMamma1, "mamma1", 20.0f},
    {DemoPartId::kSwim, "swim", 29.0f},
    {DemoPartId::kSwam, "swam", 80.0f},
};
constexpr int kTimelineParts = static_cast<int>(sizeof kTimeline / sizeof kTimeline[0]);

// When the part starts and ends on the timeline; 0 and 0 for kNone.
float PartStarts(DemoPartId part);
float PartEnds(DemoPartId part);

// The part's name as the timeline knows it; "" for none.
const char* DemoPartName(DemoPartId part);

// The part whose span [start, end) holds seconds (the last part from its start on): what
// the player names under the pointer and in its title.
DemoPartId DemoPartAt(float seconds);

// The part for the next frame: the one whose span strictly holds the clock, else the current
// one. All comparisons are strict, so a clock exactly on a boundary keeps the current part for
// one more frame; a clock past the end keeps the last. The first part is the clock's at 0.
DemoPartId ChoosePart(float demo_clock, DemoPartId current_part);

// True once the clock is strictly past the end: that frame is drawn but not presented.
bool TimelineEnded(float demo_clock);

// The demo clock: the running sum of the frame timer's deltas, and the part the clock has
// chosen for the frame after the one it stands at.
struct DemoClock {
  float seconds = 0.0f;
  DemoPartId next_part = DemoPartId::kIntro;
};

// One frame on the clock, the one place the rule is written: the clock takes the frame's
// delta, and the part that draws this frame (chosen after the frame before) is returned
// while the clock chooses the next frame's. The frame loop, the seek's search and its replay
// all go through here.
DemoPartId AdvanceDemoClock(DemoClock* clock, float delta);
