#include <gtest/gtest.h>

#include <cmath>

#include "demo/timeline.h"

namespace {

TEST(Timeline, PartChangesOnlyStrictlyPastEachBoundary) {
  EXPECT_EQ(ChoosePart(20.0f, 1), 1);
  EXPECT_EQ(ChoosePart(std::nextafter(20.0f, 30.0f), 1), 2);
  EXPECT_EQ(ChoosePart(29.0f, 2), 2);
  EXPECT_EQ(ChoosePart(std::nextafter(29.0f, 30.0f), 2), 3);
  EXPECT_EQ(ChoosePart(80.0f, 3), 3);
  EXPECT_EQ(ChoosePart(std::nextafter(80.0f, 90.0f), 3), 4);
}

TEST(Timeline, EndsOnlyStrictlyPast116) {
  EXPECT_FALSE(TimelineEnded(116.0f));
  EXPECT_TRUE(TimelineEnded(std::nextafter(116.0f, 200.0f)));
  // Past the end no test holds, so the part stays what it was.
  EXPECT_EQ(ChoosePart(116.0f, 4), 4);
  EXPECT_EQ(ChoosePart(200.0f, 4), 4);
}

TEST(Timeline, ClockJumpsSkipParts) {
  // A first frame that jumps straight past 20 s goes to part 2 next.
  EXPECT_EQ(ChoosePart(21.5f, 1), 2);
  // From below 20 straight into 29..80: part 3 without ever choosing part 2.
  EXPECT_EQ(ChoosePart(45.0f, 1), 3);
  // A jump from the intro past 80 goes to the last part.
  EXPECT_EQ(ChoosePart(90.0f, 1), 4);
  // Below 20 the intro stays.
  EXPECT_EQ(ChoosePart(19.99f, 1), 1);
}

}  // namespace
