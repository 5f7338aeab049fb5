// Music: the bytes are tried as an MP3 stream and as a tracker module, as the demo tries
// them, and a few seconds of what opens are decoded.
#include <memory>

#include "fuzz_support.h"
#include "audio/audio_source.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 3;

void Play(AudioSource* source) {
  static float frames[2 * 4096];
  for (int total = 0; total < kSeconds * kRate;) {
    int got = source->Read(frames, 4096);
    if (got <= 0) break;
    total += got;
  }
  source->Rewind();
  source->Read(frames, 64);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunLoader([&] {
    if (std::unique_ptr<AudioSource> mp3 = OpenMp3Source(data, size)) Play(mp3.get());
    if (std::unique_ptr<AudioSource> module = OpenModuleSource(data, size, kRate)) Play(module.get());
  });
  return 0;
}
