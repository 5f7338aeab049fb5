// Mastering: the mix brought to the loudness the streaming platforms normalise to, its peaks
// held under a ceiling by a look-ahead limiter.
#include <algorithm>
#include <cmath>

#include "music/loudness.h"
#include "music/soundtrack.h"

namespace assets::music {

namespace {

float FromDb(double db) { return static_cast<float>(std::pow(10.0, db / 20.0)); }

// The limiter's gain comes down over ATTACK before a peak (a full-scale dip would take that
// long; a few dB take a fraction of it) and recovers over RELEASE after it.
constexpr float ATTACK_SECONDS = 0.005f;
constexpr float RELEASE_SECONDS = 0.08f;

// Scales every frame so that no true peak passes the ceiling; peaks are the song's true
// peaks (TruePeaks). The gain is worked out for the whole song at once: what each frame
// needs, reached in time going backwards, released slowly going forwards, never above what
// a frame needs.
void Limit(StereoBuffer* song, const std::vector<float>& peaks, float ceiling) {
  const int64_t frames = song->Frames();
  std::vector<float> gain(frames);
  for (int64_t i = 0; i < frames; ++i) gain[i] = std::min(1.0f, ceiling / std::max(peaks[i], 1e-9f));
  const float attack_step = 1.0f / (ATTACK_SECONDS * SAMPLE_RATE);
  for (int64_t i = frames - 2; i >= 0; --i) gain[i] = std::min(gain[i], gain[i + 1] + attack_step);
  const float release = 1.0f - std::exp(-1.0f / (RELEASE_SECONDS * SAMPLE_RATE));
  float g = gain[0];
  for (int64_t i = 0; i < frames; ++i) {
    g = std::min(gain[i], g + (1.0f - g) * release);
    song->samples[2 * i] *= g;
    song->samples[2 * i + 1] *= g;
  }
}

}  // namespace

void Master(StereoBuffer* song) {
  const StereoBuffer mix = *song;
  const std::vector<float> peaks = TruePeaks(mix);
  double gain_db = MASTER_LOUDNESS - IntegratedLoudness(mix, SAMPLE_RATE);
  // Limiting takes a little loudness off; a few rounds settle the gain. Peaks scale with it.
  for (int round = 0; round < 4; ++round) {
    const float gain = FromDb(gain_db);
    for (size_t i = 0; i < mix.samples.size(); ++i) song->samples[i] = gain * mix.samples[i];
    Limit(song, peaks, FromDb(MASTER_TRUE_PEAK) / gain);
    const double error = MASTER_LOUDNESS - IntegratedLoudness(*song, SAMPLE_RATE);
    if (std::abs(error) < 0.05) break;
    gain_db += error;
  }
}

}  // namespace assets::music
