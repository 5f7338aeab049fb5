#include <gtest/gtest.h>

#include <cmath>

#include "demo/timeline.h"

namespace {

constexpr DemoPartId P1 = DemoPartId::kIntro, P2 = DemoPartId::kMamma1, P3 = DemoPartId::kSwim,
                   P4 = DemoPartId::kSwam;

TEST(Timeline, PartChangesOnlyStrictlyPastEachBoundary) {
  EXPECT_EQ(ChoosePart(20.0f, P1), P1);
  EXPECT_EQ(ChoosePart(std::nextafter(20.0f, 30.0f), P1), P2);
  EXPECT_EQ(ChoosePart(29.0f, P2), P2);
  EXPECT_EQ(ChoosePart(std::nextafter(29.0f, 30.0f), P2), P3);
  EXPECT_EQ(ChoosePart(80.0f, P3), P3);
  EXPECT_EQ(ChoosePart(std::nextafter(80.0f, 90.0f), P3), P4);
}

TEST(Timeline, EndsOnlyStrictlyPast116) {
  EXPECT_FALSE(TimelineEnded(116.0f));
  EXPECT_TRUE(TimelineEnded(std::nextafter(116.0f, 200.0f)));
  // Past the end no test holds, so the part stays what it was.
  EXPECT_EQ(ChoosePart(116.0f, P4), P4);
  EXPECT_EQ(ChoosePart(200.0f, P4), P4);
}

TEST(Timeline, ClockJumpsSkipParts) {
  // A first frame that jumps straight past 20 s goes to part 2 next.
  EXPECT_EQ(ChoosePart(21.5f, P1), P2);
  // From below 20 straight into 29..80: part 3 without ever choosing part 2.
  EXPECT_EQ(ChoosePart(45.0f, P1), P3);
  // A jump from the intro past 80 goes to the last part.
  EXPECT_EQ(ChoosePart(90.0f, P1), P4);
  // Below 20 the intro stays.
  EXPECT_EQ(ChoosePart(19.99f, P1), P1);
}

}  // namespace

TEST(Timeline, AdvanceGivesTheFramesPartAndChoosesTheNext) {
  // The frame that carries the clock past 20 s is still the intro's; the next is mamma1's.
  DemoClock clock{.seconds = 19.75f, .next_part = P1};
  EXPECT_EQ(AdvanceDemoClock(&clock, 0.5f), P1);
  EXPECT_EQ(clock.seconds, 20.25f);
  EXPECT_EQ(clock.next_part, P2);
  EXPECT_EQ(AdvanceDemoClock(&clock, 0.5f), P2);
  // Landing exactly on a boundary keeps the part for one more frame.
  clock = {.seconds = 28.5f, .next_part = P2};
  EXPECT_EQ(AdvanceDemoClock(&clock, 0.5f), P2);
  EXPECT_EQ(clock.next_part, P2);
}

// The part a second falls in, as the player names it under the pointer: each span from its
// start to the next part's, the last to the end and past it.
TEST(Timeline, ThePartUnderASecondAndEachSpan) {
  const struct {
    float seconds;
    DemoPartId part;
  } cases[] = {{0.0f, P1},  {19.99f, P1}, {20.0f, P2},  {28.99f, P2}, {29.0f, P3},
               {79.99f, P3}, {80.0f, P4},  {116.0f, P4}, {200.0f, P4}, {-1.0f, P1}};
  for (const auto& c : cases) EXPECT_EQ(DemoPartAt(c.seconds), c.part) << c.seconds;
  EXPECT_EQ(PartStarts(P3), 29.0f);
  EXPECT_EQ(PartEnds(P3), 80.0f);
  EXPECT_EQ(PartEnds(P4), 116.0f);
  EXPECT_EQ(PartEnds(DemoPartId::kNone), 0.0f);
  EXPECT_STREQ(DemoPartName(P2), "mamma1");
  EXPECT_STREQ(DemoPartName(DemoPartId::kNone), "");
}
