// The meter the soundtrack is mastered by, against what BS.1770 says of simple signals: a
// 997 Hz tone in both channels reads its own level in dB, silence is gated out, and a tone
// whose samples straddle its crests still shows its true peak.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "music/loudness.h"

using namespace assets::music;

namespace {

constexpr double PI = 3.14159265358979323846;

StereoBuffer Tone(double hz, double amplitude, double seconds, double phase = 0.0) {
  StereoBuffer song(static_cast<int64_t>(seconds * SAMPLE_RATE));
  for (int64_t i = 0; i < song.Frames(); ++i) {
    const float v = static_cast<float>(amplitude * std::sin(2.0 * PI * hz * i / SAMPLE_RATE + phase));
    song.samples[2 * i] = song.samples[2 * i + 1] = v;
  }
  return song;
}

TEST(Loudness, ToneReadsItsLevelAndGatesLeaveOutSilenceAndQuietPassages) {
  const struct {
    const char* what;
    double seconds_of_tone, seconds_of_silence, quiet_level;  // quiet: a tone 30 dB down for as long
    double expected;
  } CASES[] = {
      {"tone at -20 dBFS", 10, 0, 0, -20.0},
      {"tone at -20 dBFS, then as long silent", 10, 10, 0, -20.0},
      {"tone at -20 dBFS, then as long 30 dB quieter", 10, 0, 0.0316, -20.0},
  };
  for (const auto& c : CASES) {
    StereoBuffer tone = Tone(997.0, 0.1, c.seconds_of_tone);
    const double rest = c.seconds_of_silence + (c.quiet_level > 0 ? c.seconds_of_tone : 0);
    StereoBuffer song(tone.Frames() + static_cast<int64_t>(rest * SAMPLE_RATE));
    std::copy(tone.samples.begin(), tone.samples.end(), song.samples.begin());
    if (c.quiet_level > 0) {
      for (size_t i = 0; i < tone.samples.size(); ++i) song.samples[tone.samples.size() + i] = c.quiet_level * tone.samples[i];
    }
    EXPECT_NEAR(IntegratedLoudness(song, SAMPLE_RATE), c.expected, 0.1) << c.what;
  }
  EXPECT_LE(IntegratedLoudness(StereoBuffer(SAMPLE_RATE * 2), SAMPLE_RATE), -70.0);
}

TEST(Loudness, TruePeakFindsTheCrestsBetweenSamples) {
  // A quarter of the rate, shifted by an eighth of a cycle: every sample sits at 0.707 of
  // the crest, which falls halfway between two samples.
  StereoBuffer song = Tone(SAMPLE_RATE / 4.0, 0.5, 1.0, PI / 4.0);
  float sample_peak = 0;
  for (float v : song.samples) sample_peak = std::max(sample_peak, std::abs(v));
  const std::vector<float> peaks = TruePeaks(song);
  const float true_peak = *std::max_element(peaks.begin() + 100, peaks.end() - 100);
  EXPECT_NEAR(sample_peak, 0.354f, 0.01f);
  EXPECT_NEAR(true_peak, 0.5f, 0.02f);
}

}  // namespace
