// Mixing the score: each instrument plays onto its own bus, the buses meet at set levels,
// and the master is scaled to a fixed peak.
#include <algorithm>
#include <cmath>

#include "music_soundtrack.h"

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
constexpr float PLUCKS_LEVEL = 0.22f;
constexpr float LEAD_LEVEL = 0.3f;

// Drum levels on the drum bus.
constexpr float KICK_LEVEL = 1.0f;
constexpr float SNARE_LEVEL = 0.55f;
constexpr float HAT_LEVEL = 0.18f;
constexpr float OPEN_HAT_LEVEL = 0.14f;
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

  float peak = 0;
  for (float v : master.samples) peak = std::max(peak, std::fabs(v));
  if (peak > 0) {
    const float gain = MASTER_PEAK / peak;
    for (float& v : master.samples) v *= gain;
  }
  return master;
}

}  // namespace assets::music
