// Sound for the audio tests, made by the tests themselves: tones, a short MP3 encoded with
// libmp3lame, a minimal ProTracker module, and measurements of rendered output.
#pragma once

#include <lame/lame.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_source.h"

namespace audio_test {

// Interleaved stereo 16-bit sine at frequency Hz.
inline std::vector<int16_t> SineS16(double frequency, int rate, int frames, double amplitude = 0.5) {
  std::vector<int16_t> out(2 * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    const double v = amplitude * std::sin(2 * M_PI * frequency * i / rate);
    out[2 * i] = out[2 * i + 1] = static_cast<int16_t>(std::lrint(v * 32767));
  }
  return out;
}

// A CBR MP3 of the given stereo samples; with the LAME tag, so the decoder trims the
// encoder's delay and padding. In free format (no bitrate in the frame headers) kbps may be
// any rate.
inline std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& stereo, int rate, int kbps = 128,
                                      bool free_format = false) {
  lame_global_flags* lame = lame_init();
  lame_set_free_format(lame, free_format ? 1 : 0);
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, kbps);
  lame_set_quality(lame, 5);
  lame_set_write_id3tag_automatic(lame, 0);
  lame_set_bWriteVbrTag(lame, 1);
  lame_init_params(lame);
  const int frames = static_cast<int>(stereo.size() / 2);
  std::vector<uint8_t> out(static_cast<size_t>(1.25 * frames + 7200 + 16384));
  int n = lame_encode_buffer_interleaved(lame, const_cast<short*>(stereo.data()), frames, out.data(),
                                         static_cast<int>(out.size()));
  n += lame_encode_flush(lame, out.data() + n, static_cast<int>(out.size()) - n);
  out.resize(n > 0 ? n : 0);
  std::vector<uint8_t> tag(8192);
  const size_t tag_size = lame_get_lametag_frame(lame, tag.data(), tag.size());
  if (tag_size > 0 && tag_size <= out.size()) std::memcpy(out.data(), tag.data(), tag_size);
  lame_close(lame);
  return out;
}

inline void Put16BE(std::vector<uint8_t>* b, size_t at, int v) {
  (*b)[at] = static_cast<uint8_t>(v >> 8);
  (*b)[at + 1] = static_cast<uint8_t>(v);
}

// A four-channel "M.K." module: one looped square-wave sample, one pattern whose first row
// plays it on channel 1 at period 428 and whose other rows let it ring.
inline std::vector<uint8_t> MakeModule() {
  constexpr int kSampleBytes = 64;
  std::vector<uint8_t> mod(20 + 31 * 30 + 1 + 1 + 128 + 4 + 1024 + kSampleBytes, 0);
  std::memcpy(mod.data(), "kra test module", 15);
  const size_t sample = 20;
  std::memcpy(&mod[sample], "square", 6);
  Put16BE(&mod, sample + 22, kSampleBytes / 2);  // length in words
  mod[sample + 25] = 64;                         // volume
  Put16BE(&mod, sample + 26, 0);                 // loop start
  Put16BE(&mod, sample + 28, kSampleBytes / 2);  // loop length
  for (int i = 1; i < 31; ++i) Put16BE(&mod, 20 + i * 30 + 28, 1);  // unused: "no loop"
  const size_t song = 20 + 31 * 30;
  mod[song] = 1;        // one order
  mod[song + 1] = 127;
  mod[song + 2] = 0;    // order 0: pattern 0
  std::memcpy(&mod[song + 130], "M.K.", 4);
  const size_t pattern = song + 134;
  mod[pattern + 0] = 0x01;  // sample 1 (high nibble 0), period 428 = 0x1AC
  mod[pattern + 1] = 0xAC;
  mod[pattern + 2] = 0x10;  // sample low nibble 1, no effect
  const size_t data = pattern + 1024;
  for (int i = 0; i < kSampleBytes; ++i) mod[data + i] = static_cast<uint8_t>(i < kSampleBytes / 2 ? 100 : -100);
  return mod;
}

// Bytes that are neither an MP3 stream nor a module.
inline std::vector<uint8_t> Garbage(size_t size, uint32_t seed = 12345) {
  std::vector<uint8_t> out(size);
  for (auto& b : out) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return out;
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string MusicTestData(const char* name) { return std::string(KRA_TESTDATA_DIR) + "/music/" + name; }

// Root mean square of interleaved samples [first, first + frames) of both channels, full scale 1.
inline double Rms(const std::vector<int16_t>& stereo, int64_t first, int64_t frames) {
  double sum = 0;
  int64_t n = 0;
  for (int64_t i = 2 * first; i < 2 * (first + frames) && i < static_cast<int64_t>(stereo.size()); ++i, ++n) {
    const double v = stereo[i] / 32768.0;
    sum += v * v;
  }
  return n ? std::sqrt(sum / n) : 0.0;
}

// Sign changes of the left channel in [first, first + frames): twice the frequency of a tone
// per second of window.
inline int ZeroCrossings(const std::vector<int16_t>& stereo, int64_t first, int64_t frames) {
  int count = 0;
  int previous = 0;
  for (int64_t i = first; i < first + frames && 2 * i < static_cast<int64_t>(stereo.size()); ++i) {
    const int v = stereo[2 * i];
    const int sign = v > 0 ? 1 : (v < 0 ? -1 : 0);
    if (sign != 0 && previous != 0 && sign != previous) ++count;
    if (sign != 0) previous = sign;
  }
  return count;
}

// A source of frames given in advance (stereo floats) at a rate.
class VectorSource final : public AudioSource {
 public:
  VectorSource(std::vector<float> stereo, int rate) : stereo_(std::move(stereo)), rate_(rate) {}
  int Rate() const override { return rate_; }
  int Read(float* out, int frames) override {
    const size_t total = stereo_.size() / 2;
    int n = 0;
    while (n < frames && pos_ < total) {
      out[2 * n] = stereo_[2 * pos_];
      out[2 * n + 1] = stereo_[2 * pos_ + 1];
      ++n;
      ++pos_;
    }
    return n;
  }
  bool Rewind() override {
    pos_ = 0;
    ++rewinds;
    return true;
  }
  int rewinds = 0;

 private:
  std::vector<float> stereo_;
  int rate_;
  size_t pos_ = 0;
};

// Frames whose left and right channels are both the frame's index (0, 1, 2, ...).
inline std::vector<float> Ramp(int frames) {
  std::vector<float> out(2 * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) out[2 * i] = out[2 * i + 1] = static_cast<float>(i);
  return out;
}

}  // namespace audio_test
