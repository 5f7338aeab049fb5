// Mixing the score: each instrument plays onto its own bus, the buses meet at set levels,
// each bar is levelled to the loudness the arrangement means it to have, and the master is
// mastered (master.cpp).
#include <algorithm>
#include <cmath>
#include <vector>

#include "music/soundtrack.h"

namespace assets::music {

namespace {

struct Buses {
  StereoBuffer drums, bass, pads, plucks, lead;
  explicit Buses(int64_t frames) : drums(frames), bass(frames), pads(frames), plucks(frames), lead(frames) {}
};

// Levels of the buses in the master.
constexpr float DRUMS_LEVEL = 0.9f;
constexpr float BASS_LEVEL = 0.55f;
constexpr float PADS_LEVEL = 0.16f;
constexpr float PLUCKS_LEVEL = 0.35f;
constexpr float LEAD_LEVEL = 0.45f;

// Drum levels on the drum bus.
constexpr float KICK_LEVEL = 0.85f;
constexpr float SNARE_LEVEL = 0.55f;
constexpr float HAT_LEVEL = 1.6f;
constexpr float OPEN_HAT_LEVEL = 1.6f;
constexpr float CRASH_LEVEL = 0.22f;
constexpr float RISER_LEVEL = 0.3f;

void Play(Buses* buses, const ScoreEvent& e, uint32_t seed) {
  const int64_t start = StepToFrame(e.step, SAMPLE_RATE);
  const int64_t length = StepToFrame(e.step + e.length, SAMPLE_RATE) - start;
  const NoteSpec note{start, length, e.pitch, e.velocity, e.pan};
  switch (e.voice) {
    case Voice::kKick: AddKick(&buses->drums, start, KICK_LEVEL * e.velocity); break;
    case Voice::kSnare: AddSnare(&buses->drums, start, SNARE_LEVEL * e.velocity, seed); break;
    case Voice::kHat: AddHat(&buses->drums, start, HAT_LEVEL * e.velocity, false, e.pan, seed); break;
    case Voice::kOpenHat: AddHat(&buses->drums, start, OPEN_HAT_LEVEL * e.velocity, true, e.pan, seed); break;
    case Voice::kCrash: AddCrash(&buses->drums, start, CRASH_LEVEL * e.velocity, seed); break;
    case Voice::kRiser: AddRiser(&buses->drums, start, length, RISER_LEVEL * e.velocity, seed); break;
    case Voice::kBass: AddBass(&buses->bass, note); break;
    case Voice::kPad: AddPad(&buses->pads, note); break;
    case Voice::kPluck: AddPluck(&buses->plucks, note); break;
    case Voice::kLead: AddLead(&buses->lead, note); break;
  }
}

// The leveller: each bar is brought to the loudness the arrangement means it to have
// (BarLevels) against the loudest bar, so that a section sounds as quiet or as full as it is
// meant to whatever its instruments add up to. One gain a bar, from the bar's loudness,
// smoothed over its neighbours (around the loop) and glided between bar centres so that no
// step can be heard.
constexpr float LEVELLER_MAX_BOOST = 2.5f;  // +8 dB at most
constexpr int LEVELLER_SMOOTHING_BARS = 1;  // each side

void LevelLoudness(StereoBuffer* master) {
  const int bars = SONG_BARS;
  const std::vector<float> meant = BarLevels();
  std::vector<double> rms(bars);
  for (int b = 0; b < bars; ++b) {
    const int64_t from = StepToFrame(int64_t{b} * STEPS_PER_BAR, SAMPLE_RATE);
    const int64_t to = StepToFrame(int64_t{b + 1} * STEPS_PER_BAR, SAMPLE_RATE);
    double sum = 0;
    for (int64_t i = 2 * from; i < 2 * to; ++i) sum += double{master->samples[i]} * master->samples[i];
    rms[b] = std::sqrt(sum / (2.0 * (to - from)));
  }
  const double loudest = *std::max_element(rms.begin(), rms.end());
  std::vector<float> gain(bars);
  for (int b = 0; b < bars; ++b) {
    double sum = 0;
    for (int k = -LEVELLER_SMOOTHING_BARS; k <= LEVELLER_SMOOTHING_BARS; ++k) {
      const int bar = (b + k + bars) % bars;
      const double target = loudest * std::pow(10.0, meant[bar] / 20.0);
      sum += std::min<double>(LEVELLER_MAX_BOOST, target / std::max(rms[bar], 1e-6));
    }
    gain[b] = static_cast<float>(sum / (2 * LEVELLER_SMOOTHING_BARS + 1));
  }
  const int64_t frames = master->Frames();
  const double bar_frames = static_cast<double>(frames) / bars;
  for (int64_t i = 0; i < frames; ++i) {
    // Position in bars relative to bar centres; gains glide linearly between centres.
    const double x = i / bar_frames - 0.5;
    const int b0 = static_cast<int>(std::floor(x));
    const float t = static_cast<float>(x - b0);
    const float g = gain[(b0 + bars) % bars] * (1 - t) + gain[(b0 + 1) % bars] * t;
    master->samples[2 * i] *= g;
    master->samples[2 * i + 1] *= g;
  }
}

void MixInto(StereoBuffer* master, const StereoBuffer& bus, float level) {
  for (size_t i = 0; i < master->samples.size(); ++i) master->samples[i] += level * bus.samples[i];
}

}  // namespace

StereoBuffer RenderSong(const std::vector<ScoreEvent>& score) {
  const int64_t frames = StepToFrame(int64_t{SONG_BARS} * STEPS_PER_BAR, SAMPLE_RATE);
  Buses buses(frames);
  uint32_t seed = 1;
  for (const ScoreEvent& event : score) Play(&buses, event, seed++);

  // A dotted-eighth echo on the lead and the plucks, bouncing left and right.
  const int64_t dotted_eighth = StepToFrame(3, SAMPLE_RATE);
  AddPingPongEcho(&buses.lead, dotted_eighth, 0.35f, 0.45f);
  AddPingPongEcho(&buses.plucks, dotted_eighth, 0.3f, 0.35f);

  StereoBuffer master(frames);
  MixInto(&master, buses.drums, DRUMS_LEVEL);
  MixInto(&master, buses.bass, BASS_LEVEL);
  MixInto(&master, buses.pads, PADS_LEVEL);
  MixInto(&master, buses.plucks, PLUCKS_LEVEL);
  MixInto(&master, buses.lead, LEAD_LEVEL);

  LevelLoudness(&master);
  Master(&master);
  return master;
}

}  // namespace assets::music
