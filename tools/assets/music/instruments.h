// The soundtrack's instruments: small subtractive voices and synthetic drums that each add
// one note into a stereo buffer. They know nothing of the score (score.h) and the
// score knows nothing of how they sound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assets::music {

constexpr int SAMPLE_RATE = 44100;

// Interleaved left, right; notes add into it, so overlapping notes mix.
struct StereoBuffer {
  std::vector<float> samples;

  explicit StereoBuffer(int64_t frames) : samples(2 * static_cast<size_t>(frames), 0.0f) {}
  int64_t Frames() const { return static_cast<int64_t>(samples.size() / 2); }
  // Adds one frame at the given position with equal-power pan (-1 left .. 1 right).
  void Add(int64_t frame, float value, float pan);
  void AddStereo(int64_t frame, float left, float right);
};

float MidiToHz(float note);

// A deterministic noise generator: the same seed gives the same hit on every machine.
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed * 747796405u + 2891336453u) {}
  float Next();  // uniform in -1..1
};

// What every pitched voice is told about its note.
struct NoteSpec {
  int64_t start;   // frame
  int64_t length;  // frames the key is held; the release rings on after it
  int pitch;       // MIDI note number
  float velocity;  // 0..1
  float pan;       // -1..1
};

// Drums. seed varies the noise from hit to hit.
void AddKick(StereoBuffer* out, int64_t start, float velocity);
void AddSnare(StereoBuffer* out, int64_t start, float velocity, uint32_t seed);
void AddHat(StereoBuffer* out, int64_t start, float velocity, bool open, float pan, uint32_t seed);
void AddCrash(StereoBuffer* out, int64_t start, float velocity, uint32_t seed);
// A noise sweep rising over length frames, into the downbeat after it.
void AddRiser(StereoBuffer* out, int64_t start, int64_t length, float velocity, uint32_t seed);

// Pitched voices.
void AddBass(StereoBuffer* out, const NoteSpec& note);
void AddPad(StereoBuffer* out, const NoteSpec& note);
void AddPluck(StereoBuffer* out, const NoteSpec& note);
void AddLead(StereoBuffer* out, const NoteSpec& note);

// A stereo echo over the whole buffer (the lead's bus), wrapping around its end so that a
// looping song echoes into its own start.
void AddPingPongEcho(StereoBuffer* bus, int64_t delay_frames, float feedback, float mix);

}  // namespace assets::music
