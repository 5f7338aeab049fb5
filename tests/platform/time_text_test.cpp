// Moments as links and command lines write them: every form, and the near misses.
#include <gtest/gtest.h>

#include "platform/time_text.h"

namespace {

TEST(ParseMoment, ReadsSecondsUnitsAndColons) {
  const struct {
    const char* text;
    double seconds;
  } kGood[] = {
      {"0", 0.0},         {"97", 97.0},       {"97.5", 97.5},  {"1m37s", 97.0},  {"1m37", 97.0},
      {"1m", 60.0},       {"37s", 37.0},      {"0m0s", 0.0},   {"1M37S", 97.0},  {"1h2m3s", 3723.0},
      {"1.5m", 90.0},     {"1:37", 97.0},     {"01:37", 97.0}, {"1:37.5", 97.5}, {"0:00", 0.0},
      {"1:02:03", 3723.0}, {"116", 116.0},
  };
  for (const auto& c : kGood) {
    double seconds = -1.0;
    EXPECT_TRUE(ParseMoment(c.text, &seconds)) << c.text;
    EXPECT_DOUBLE_EQ(seconds, c.seconds) << c.text;
  }
}

TEST(ParseMoment, RefusesWhatIsNotAMoment) {
  for (const char* text : {"", " ", "-3", "+3", "nan", "inf", "1e2", "3x", "s", "m", "1s2m", "1m2m", "1:", ":37",
                           "1:75", "1::3", "1:2:3:4", "1.5:30", "1:3.5.1", "..", "1m37s5", "97 ", "1 m"}) {
    double seconds = 42.0;
    EXPECT_FALSE(ParseMoment(text, &seconds)) << "'" << text << "'";
    EXPECT_EQ(seconds, 42.0) << text;
  }
}

TEST(ParseMomentOption, WordsItsErrors) {
  double value = 0.0;
  std::string error;
  EXPECT_TRUE(ParseMomentOption("from", "1:37", 0.0, 116.0, &value, &error));
  EXPECT_DOUBLE_EQ(value, 97.0);
  EXPECT_FALSE(ParseMomentOption("from", "2m", 0.0, 116.0, &value, &error));
  EXPECT_EQ(error, "--from must be from 0 to 116");
  EXPECT_FALSE(ParseMomentOption("from", "1x", 0.0, 116.0, &value, &error));
  EXPECT_EQ(error, "--from: '1x' is not a time (97, 1m37s or 1:37)");
  EXPECT_DOUBLE_EQ(value, 97.0);
}

}  // namespace
