// MP3 decoding speed and the start-up time music loading adds (LoadMusic: probing the data
// and creating the channel, on the offline device).
//
// Files: the test data's MEANDR90.mp3, and the demo's own soundtrack when KRA_BENCH_MP3
// names it (e.g. kra-assets --only zibo.mp3 --out DIR, then KRA_BENCH_MP3=DIR/zibo.mp3).
// The "x_real_time" counter is seconds of audio decoded per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "demo/music.h"
#include "audio/audio_library.h"
#include "audio/audio_offline.h"
#include "audio/audio_source.h"
#include "platform/platform.h"
#include "resource/mem_chunk.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string TestDataMp3() {
  return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "shared/testdata/music/MEANDR90.mp3")
      .string();
}

std::string SoundtrackMp3() {
  const char* path = std::getenv("KRA_BENCH_MP3");
  return path ? path : "";
}

void Decode(benchmark::State& state, const std::string& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  if (bytes.empty()) {
    state.SkipWithError(("cannot read " + path).c_str());
    return;
  }
  std::unique_ptr<AudioSource> source = OpenMp3Source(bytes.data(), bytes.size());
  if (!source) {
    state.SkipWithError("not an MP3 stream");
    return;
  }
  std::vector<float> block(2 * 4096);
  int64_t frames = 0;
  for (auto _ : state) {
    source->Rewind();
    for (int n; (n = source->Read(block.data(), 4096)) > 0;) frames += n;
  }
  state.counters["x_real_time"] = benchmark::Counter(static_cast<double>(frames) / source->Rate(), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void Load(benchmark::State& state, const std::string& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  if (bytes.empty()) {
    state.SkipWithError(("cannot read " + path).c_str());
    return;
  }
  OfflineAudioDevice device;
  for (auto _ : state) {
    ResetMusic(&device);
    MemChunk chunk{};
    chunk.data = new uint8_t[bytes.size()];
    std::copy(bytes.begin(), bytes.end(), chunk.data);
    chunk.size = static_cast<int32_t>(bytes.size());
    if (!LoadMusic(chunk)) state.SkipWithError("LoadMusic refused the file");
    state.PauseTiming();
    AudioFree();
    FreeChunk(&g_music.chunk);
    state.ResumeTiming();
  }
}

void BM_DecodeTestDataMp3(benchmark::State& state) { Decode(state, TestDataMp3()); }
void BM_DecodeSoundtrack(benchmark::State& state) {
  if (SoundtrackMp3().empty()) {
    state.SkipWithError("set KRA_BENCH_MP3 to the soundtrack's path");
    return;
  }
  Decode(state, SoundtrackMp3());
}
void BM_LoadMusicTestDataMp3(benchmark::State& state) { Load(state, TestDataMp3()); }
void BM_LoadMusicSoundtrack(benchmark::State& state) {
  if (SoundtrackMp3().empty()) {
    state.SkipWithError("set KRA_BENCH_MP3 to the soundtrack's path");
    return;
  }
  Load(state, SoundtrackMp3());
}

BENCHMARK(BM_DecodeTestDataMp3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeSoundtrack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMusicTestDataMp3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadMusicSoundtrack)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
