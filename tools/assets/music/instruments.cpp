#include "music/instruments.h"

#include <algorithm>
#include <cmath>

namespace assets::music {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr float SECOND = static_cast<float>(SAMPLE_RATE);

int64_t Frames(float seconds) { return static_cast<int64_t>(seconds * SECOND); }

// Band-limited step correction for naive saw and square edges.
float PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return static_cast<float>(t + t - t * t - 1.0);
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return static_cast<float>(t * t + t + t + 1.0);
  }
  return 0.0f;
}

// A free-running oscillator: phase in cycles, advanced by frequency / rate each frame.
struct Oscillator {
  double phase = 0;
  double step = 0;

  void SetFrequency(float hz) { step = hz / SECOND; }
  void Advance() {
    phase += step;
    phase -= std::floor(phase);
  }
  float Saw() const { return static_cast<float>(2.0 * phase - 1.0) - PolyBlep(phase, step); }
  float Square() const {
    const double half = phase + 0.5 - std::floor(phase + 0.5);
    return (phase < 0.5 ? 1.0f : -1.0f) + PolyBlep(phase, step) - PolyBlep(half, step);
  }
  float Sine() const { return static_cast<float>(std::sin(2.0 * PI * phase)); }
};

// Chamberlin state-variable filter; cutoff in Hz, damping 2 (soft) .. 0.1 (resonant).
struct Filter {
  float low = 0, band = 0, high = 0;

  void Run(float in, float cutoff, float damping) {
    const float f = std::min(0.9f, static_cast<float>(2.0 * std::sin(PI * std::min(cutoff, 8000.0f) / SECOND)));
    low += f * band;
    high = in - low - damping * band;
    band += f * high;
  }
  float LowPass(float in, float cutoff, float damping) {
    Run(in, cutoff, damping);
    return low;
  }
};

// Attack, decay to sustain while the key is held, release after; seconds.
struct Adsr {
  float attack, decay, sustain, release;

  float At(float t, float held) const {
    float level = HeldLevel(std::min(t, held));
    if (t > held) level *= std::max(0.0f, 1.0f - (t - held) / release);
    return level;
  }
  float HeldLevel(float t) const {
    if (t < attack) return t / attack;
    t -= attack;
    if (t < decay) return 1.0f - (1.0f - sustain) * (t / decay);
    return sustain;
  }
};

// One-pole high pass: gentle and well behaved right up to the top of the spectrum, where the
// state-variable filter's high output rings.
struct HighPassFilter {
  float low = 0;

  float Run(float in, float cutoff) {
    const float a = 1.0f - std::exp(-2.0f * static_cast<float>(PI) * cutoff / SECOND);
    low += a * (in - low);
    return in - low;
  }
};

}  // namespace

void StereoBuffer::Add(int64_t frame, float value, float pan) {
  const float angle = static_cast<float>((pan + 1.0f) * PI / 4.0);
  AddStereo(frame, value * std::cos(angle), value * std::sin(angle));
}

void StereoBuffer::AddStereo(int64_t frame, float left, float right) {
  // The song loops: whatever rings past the end sounds at the start.
  const int64_t at = frame % Frames();
  samples[2 * at] += left;
  samples[2 * at + 1] += right;
}

float MidiToHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

float Noise::Next() {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(static_cast<int32_t>(state)) / 2147483648.0f;
}

void AddKick(StereoBuffer* out, int64_t start, float velocity) {
  double phase = 0;
  const int64_t length = Frames(0.45f);
  for (int64_t i = 0; i < length; ++i) {
    const float t = i / SECOND;
    const float hz = 44.0f + 120.0f * std::exp(-t / 0.035f);
    phase += hz / SECOND;
    const float body = static_cast<float>(std::sin(2.0 * PI * phase)) * std::exp(-t / 0.22f);
    const float click = i < 90 ? (1.0f - i / 90.0f) * 0.4f : 0.0f;
    out->Add(start + i, velocity * std::tanh(1.6f * (body + click)), 0.0f);
  }
}

void AddSnare(StereoBuffer* out, int64_t start, float velocity, uint32_t seed) {
  Noise noise(seed);
  HighPassFilter hp;
  Filter lp;
  const int64_t length = Frames(0.28f);
  for (int64_t i = 0; i < length; ++i) {
    const float t = i / SECOND;
    const float tone = static_cast<float>(std::sin(2.0 * PI * 185.0 * t)) * std::exp(-t / 0.045f) * 0.6f;
    const float hiss = lp.LowPass(hp.Run(noise.Next(), 900.0f), 7000.0f, 1.2f) * std::exp(-t / 0.09f);
    out->Add(start + i, velocity * (tone + hiss), 0.05f);
  }
}

void AddHat(StereoBuffer* out, int64_t start, float velocity, bool open, float pan, uint32_t seed) {
  Noise noise(seed);
  HighPassFilter first, second;
  const float decay = open ? 0.16f : 0.028f;
  const int64_t length = Frames(open ? 0.45f : 0.09f);
  for (int64_t i = 0; i < length; ++i) {
    const float t = i / SECOND;
    const float metal = second.Run(first.Run(noise.Next(), 6500.0f), 7500.0f);
    out->Add(start + i, velocity * metal * std::exp(-t / decay), pan);
  }
}

void AddCrash(StereoBuffer* out, int64_t start, float velocity, uint32_t seed) {
  Noise left(seed), right(seed + 1);
  HighPassFilter fl, fr;
  const int64_t length = Frames(2.6f);
  for (int64_t i = 0; i < length; ++i) {
    const float t = i / SECOND;
    const float env = velocity * std::exp(-t / 0.75f) * std::min(1.0f, i / 40.0f);
    out->AddStereo(start + i, env * fl.Run(left.Next(), 3500.0f), env * fr.Run(right.Next(), 3500.0f));
  }
}

void AddRiser(StereoBuffer* out, int64_t start, int64_t length, float velocity, uint32_t seed) {
  Noise left(seed), right(seed + 7);
  Filter fl, fr;
  for (int64_t i = 0; i < length; ++i) {
    const float x = static_cast<float>(i) / length;
    const float cutoff = 300.0f * std::pow(20.0f, x);
    const float env = velocity * x * x;
    fl.Run(left.Next(), cutoff, 0.5f);
    fr.Run(right.Next(), cutoff, 0.5f);
    out->AddStereo(start + i, env * fl.band, env * fr.band);
  }
}

void AddBass(StereoBuffer* out, const NoteSpec& note) {
  const Adsr amp{0.004f, 0.18f, 0.75f, 0.06f};
  const float held = note.length / SECOND;
  const int64_t length = note.length + Frames(amp.release);
  Oscillator saw, sub;
  saw.SetFrequency(MidiToHz(static_cast<float>(note.pitch)));
  sub.SetFrequency(MidiToHz(static_cast<float>(note.pitch - 12)));
  Filter filter;
  for (int64_t i = 0; i < length; ++i) {
    const float t = i / SECOND;
    const float cutoff = 180.0f + 1500.0f * note.velocity * std::exp(-t / 0.1f);
    const float raw = 0.55f * saw.Saw() + 0.6f * sub.Sine();
    out->Add(note.start + i, note.velocity * amp.At(t, held) * filter.LowPass(raw, cutoff, 0.7f), note.pan);
    saw.Advance();
    sub.Advance();
  }
}

void AddPad(StereoBuffer* out, const NoteSpec& note) {
  const Adsr amp{0.3f, 0.6f, 0.8f, 0.7f};
  const float held = note.length / SECOND;
  const int64_t length = note.length + Frames(amp.release);
  const float cents[3] = {-8.0f, 0.0f, 7.0f};
  const float spread[3] = {-0.7f, 0.0f, 0.7f};
  for (int v = 0; v < 3; ++v) {
    Oscillator osc;
    osc.phase = 0.31 * v;  // detuned voices start apart, not in one click
    osc.SetFrequency(MidiToHz(note.pitch + cents[v] / 100.0f));
    Filter filter;
    const float pan = std::clamp(note.pan + spread[v], -1.0f, 1.0f);
    for (int64_t i = 0; i < length; ++i) {
      const float t = i / SECOND;
      const float cutoff = 900.0f + 700.0f * std::sin(0.6f * t + v);
      out->Add(note.start + i, note.velocity * amp.At(t, held) * filter.LowPass(osc.Saw(), cutoff, 1.0f), pan);
      osc.Advance();
    }
  }
}

void AddPluck(StereoBuffer* out, const NoteSpec& note) {
  const float held = note.length / SECOND;
  const int64_t length = note.length + Frames(0.3f);
  Oscillator square, saw;
  square.SetFrequency(MidiToHz(static_cast<float>(note.pitch)));
  saw.SetFrequency(MidiToHz(note.pitch + 0.06f));
  Filter filter;
  for (int64_t i = 0; i < length; ++i) {
    const float t = i / SECOND;
    const float env = std::exp(-t / 0.22f) * (t > held ? std::max(0.0f, 1.0f - (t - held) / 0.3f) : 1.0f) *
                      std::min(1.0f, i / 30.0f);
    const float cutoff = 600.0f + 4200.0f * std::exp(-t / 0.07f);
    const float raw = 0.5f * square.Square() + 0.5f * saw.Saw();
    out->Add(note.start + i, note.velocity * env * filter.LowPass(raw, cutoff, 0.9f), note.pan);
    square.Advance();
    saw.Advance();
  }
}

void AddLead(StereoBuffer* out, const NoteSpec& note) {
  const Adsr amp{0.012f, 0.3f, 0.7f, 0.18f};
  const float held = note.length / SECOND;
  const int64_t length = note.length + Frames(amp.release);
  Oscillator a, b, sub;
  Filter filter;
  for (int64_t i = 0; i < length; ++i) {
    const float t = i / SECOND;
    // Vibrato grows in after the attack, as a player's would.
    const float depth = 0.18f * std::clamp((t - 0.15f) / 0.3f, 0.0f, 1.0f);
    const float pitch = note.pitch + depth * std::sin(2.0f * static_cast<float>(PI) * 5.5f * t);
    a.SetFrequency(MidiToHz(pitch - 0.07f));
    b.SetFrequency(MidiToHz(pitch + 0.07f));
    sub.SetFrequency(MidiToHz(pitch - 12.0f));
    const float raw = 0.45f * a.Saw() + 0.45f * b.Saw() + 0.25f * sub.Square();
    const float cutoff = 1800.0f + 2200.0f * std::exp(-t / 0.25f);
    out->Add(note.start + i, note.velocity * amp.At(t, held) * filter.LowPass(raw, cutoff, 0.8f), note.pan);
    a.Advance();
    b.Advance();
    sub.Advance();
  }
}

void AddPingPongEcho(StereoBuffer* bus, int64_t delay_frames, float feedback, float mix) {
  const int64_t frames = bus->Frames();
  std::vector<float> left(delay_frames, 0.0f), right(delay_frames, 0.0f);
  std::vector<float> wet(2 * static_cast<size_t>(frames), 0.0f);
  // Two passes: the first fills the delay lines from the song's end, so the second (the
  // one kept) echoes the end into the start exactly as the loop will play it.
  for (int pass = 0; pass < 2; ++pass) {
    for (int64_t i = 0; i < frames; ++i) {
      const int64_t slot = (pass * frames + i) % delay_frames;
      const float out_left = left[slot];
      const float out_right = right[slot];
      const float in = 0.5f * (bus->samples[2 * i] + bus->samples[2 * i + 1]);
      left[slot] = in + feedback * out_right;
      right[slot] = feedback * out_left;
      if (pass == 1) {
        wet[2 * i] = out_left;
        wet[2 * i + 1] = out_right;
      }
    }
  }
  for (size_t i = 0; i < wet.size(); ++i) bus->samples[i] += mix * wet[i];
}

}  // namespace assets::music
