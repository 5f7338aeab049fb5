// What the audio thread costs: mixing and resampling one second of output (44100 frames) of
// one channel, at the source's own rate, during the fade-out's rate slide, and with the
// conversion to 16-bit output. The "cpu_per_audio_second" counter is the processor time one
// second of audio costs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/audio_mixer.h"
#include "audio/audio_source.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 1024;  // frames per device callback, as the SDL device asks

// A looping tone already in memory, so only the mixer is measured.
class ToneSource final : public AudioSource {
 public:
  explicit ToneSource(int rate) : rate_(rate), tone_(2 * rate) {
    for (int i = 0; i < rate; ++i) tone_[2 * i] = tone_[2 * i + 1] = 0.5f * std::sin(2 * M_PI * 440.0 * i / rate);
  }
  int Rate() const override { return rate_; }
  int Read(float* out, int frames) override {
    for (int i = 0; i < frames; ++i) {
      out[2 * i] = tone_[2 * pos_];
      out[2 * i + 1] = tone_[2 * pos_ + 1];
      pos_ = (pos_ + 1) % rate_;
    }
    return frames;
  }
  bool Rewind() override { return true; }

 private:
  int rate_;
  std::vector<float> tone_;
  int pos_ = 0;
};

void MixOneSecond(benchmark::State& state, int source_rate, bool slide, bool convert) {
  AudioChannel channel;
  InitChannel(&channel, std::make_unique<ToneSource>(source_rate));
  channel.playing = true;
  channel.loop = true;
  std::vector<float> mix(2 * kBlock);
  std::vector<int16_t> out(2 * kBlock);
  for (auto _ : state) {
    if (slide) {
      channel.rate = static_cast<float>(source_rate);
      StartSlide(&channel.rate_slide, channel.rate, 1000, kRate, &channel.rate);
    }
    for (int done = 0; done < kRate; done += kBlock) {
      const int n = std::min(kBlock, kRate - done);
      std::fill(mix.begin(), mix.begin() + 2 * n, 0.0f);
      MixChannel(&channel, mix.data(), n, kRate);
      if (convert) ConvertToS16(mix.data(), out.data(), n);
    }
    benchmark::DoNotOptimize(mix.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["cpu_per_audio_second"] = benchmark::Counter(
      static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations() * kRate);
}

void BM_MixSecond_SameRate(benchmark::State& state) { MixOneSecond(state, kRate, false, false); }
void BM_MixSecond_Resample48000(benchmark::State& state) { MixOneSecond(state, 48000, false, false); }
void BM_MixSecond_RateSlide(benchmark::State& state) { MixOneSecond(state, kRate, true, false); }
void BM_MixSecond_SameRateToS16(benchmark::State& state) { MixOneSecond(state, kRate, false, true); }

BENCHMARK(BM_MixSecond_SameRate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixSecond_Resample48000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixSecond_RateSlide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixSecond_SameRateToS16)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
