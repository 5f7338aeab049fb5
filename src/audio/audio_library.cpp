#include "audio/audio_library.h"

#include <algorithm>
#include <vector>

#include "platform/audio_device.h"
#include "audio/audio_mixer.h"
#include "platform/process.h"

namespace {

constexpr int kMaxChannels = 8;
constexpr int kMixBlockFrames = 1024;

struct ChannelSlot {
  uint32_t handle = 0;  // 0: free
  AudioChannel channel;
};

// The library's process-wide state. The device's mix call and the main thread share it under
// the device lock.
struct AudioLibrary {
  AudioDevice* device = nullptr;  // the device this library opened; null before AudioInit
  int rate = 0;
  bool started = false;
  uint32_t next_handle = 1;
  ChannelSlot slots[kMaxChannels];
  std::vector<float> mix;
};

AudioLibrary g_audio;

class DeviceLock {
 public:
  DeviceLock() : device_(g_audio.device) {
    if (device_) device_->Lock();
  }
  ~DeviceLock() {
    if (device_) device_->Unlock();
  }

 private:
  AudioDevice* device_;
};

void MixOutput(int16_t* out, int frames, void*) {
  while (frames > 0) {
    const int n = std::min(frames, kMixBlockFrames);
    std::fill(g_audio.mix.begin(), g_audio.mix.begin() + 2 * n, 0.0f);
    for (ChannelSlot& slot : g_audio.slots) {
      if (slot.handle) MixChannel(&slot.channel, g_audio.mix.data(), n, g_audio.rate);
    }
    // Before AudioStart nothing is heard, but channels and their slides keep time.
    if (!g_audio.started) std::fill(g_audio.mix.begin(), g_audio.mix.begin() + 2 * n, 0.0f);
    ConvertToS16(g_audio.mix.data(), out, n);
    out += 2 * n;
    frames -= n;
  }
}

ChannelSlot* FindSlot(uint32_t handle) {
  if (!handle || !g_audio.device) return nullptr;
  for (ChannelSlot& slot : g_audio.slots) {
    if (slot.handle == handle) return &slot;
  }
  return nullptr;
}

uint32_t AddChannel(std::unique_ptr<AudioSource> source, bool loop) {
  if (!source) return 0;
  AudioChannel channel;
  InitChannel(&channel, std::move(source));
  channel.loop = loop;
  DeviceLock lock;
  for (ChannelSlot& slot : g_audio.slots) {
    if (slot.handle) continue;
    slot.channel = std::move(channel);
    slot.handle = g_audio.next_handle++;
    if (g_audio.next_handle == 0) g_audio.next_handle = 1;
    return slot.handle;
  }
  return 0;
}

// data[offset, offset + length), or null when that is empty.
const uint8_t* Span(const void* data, uint32_t offset, uint32_t length) {
  if (!data || length == 0) return nullptr;
  return static_cast<const uint8_t*>(data) + offset;
}

int64_t MillisecondsToFrames(uint32_t milliseconds) {
  return static_cast<int64_t>(milliseconds) * g_audio.rate / 1000;
}

}  // namespace

uint32_t AudioGetVersion() { return AUDIO_VERSION; }

int AudioInit(int device, int freq, uint32_t flags, AudioDevice* output) {
  if (g_audio.device || !output || device < -1 || freq <= 0) return 0;
  g_audio.rate = freq;
  g_audio.started = false;
  g_audio.mix.assign(2 * kMixBlockFrames, 0.0f);
  if (!output->Open(freq, MixOutput, nullptr)) return 0;
  g_audio.device = output;
  return 1;
}

uint32_t AudioStreamCreateMemory(const void* data, uint32_t offset, uint32_t length, uint32_t flags) {
  const uint8_t* bytes = Span(data, offset, length);
  if (!g_audio.device || !bytes) return 0;
  return AddChannel(OpenMp3Source(bytes, length), (flags & AUDIO_LOOP) != 0);
}

uint32_t AudioMusicLoadMemory(const void* data, uint32_t offset, uint32_t length, uint32_t flags) {
  const uint8_t* bytes = Span(data, offset, length);
  if (!g_audio.device || !bytes) return 0;
  return AddChannel(OpenModuleSource(bytes, length, g_audio.rate), (flags & AUDIO_LOOP) != 0);
}

int AudioDataPlays(const void* data, uint32_t length, int freq) {
  const uint8_t* bytes = Span(data, 0, length);
  if (!bytes || freq <= 0) return 0;
  return OpenMp3Source(bytes, length) || OpenModuleSource(bytes, length, freq) ? 1 : 0;
}

int AudioStart() {
  if (!g_audio.device) return 0;
  DeviceLock lock;
  g_audio.started = true;
  return 1;
}

int AudioStreamPlay(uint32_t stream, int flush, uint32_t flags) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(stream);
  if (!slot) return 0;
  if (flush) RestartChannel(&slot->channel);
  slot->channel.loop = (flags & AUDIO_LOOP) != 0;
  slot->channel.playing = true;
  return 1;
}

int AudioMusicPlay(uint32_t music) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(music);
  if (!slot) return 0;
  slot->channel.playing = true;
  return 1;
}

int AudioChannelSlideAttributes(uint32_t channel, int freq, int volume, int pan, uint32_t milliseconds) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(channel);
  if (!slot) return 0;
  AudioChannel& c = slot->channel;
  const int64_t frames = MillisecondsToFrames(milliseconds);
  if (freq != AUDIO_KEEP_RATE) {
    const float target = std::clamp(static_cast<float>(freq), AUDIO_MIN_RATE, AUDIO_MAX_RATE);
    StartSlide(&c.rate_slide, c.rate, target, frames, &c.rate);
  }
  if (volume == AUDIO_FADE_AND_STOP) {
    StartSlide(&c.volume_slide, c.volume, 0, frames, &c.volume);
    c.stop_after_volume_slide = true;
    if (!c.volume_slide.active) c.playing = false;
  } else if (volume != AUDIO_KEEP_VOLUME) {
    StartSlide(&c.volume_slide, c.volume, std::clamp(static_cast<float>(volume), 0.0f, 100.0f), frames, &c.volume);
    c.stop_after_volume_slide = false;
  }
  if (pan != AUDIO_KEEP_PAN) {
    StartSlide(&c.pan_slide, c.pan, std::clamp(static_cast<float>(pan), -100.0f, 100.0f), frames, &c.pan);
  }
  return 1;
}

int AudioChannelSetPosition(uint32_t channel, double seconds) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(channel);
  return slot && SeekChannel(&slot->channel, seconds) ? 1 : 0;
}

int AudioChannelPause(uint32_t channel) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(channel);
  if (!slot) return 0;
  slot->channel.playing = false;
  return 1;
}

int AudioChannelIsSliding(uint32_t channel) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(channel);
  return slot && ChannelIsSliding(slot->channel) ? 1 : 0;
}

int AudioChannelGetAttributes(uint32_t channel, float* freq, float* volume, float* pan) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(channel);
  if (!slot) return 0;
  if (freq) *freq = slot->channel.rate;
  if (volume) *volume = slot->channel.volume;
  if (pan) *pan = slot->channel.pan;
  return 1;
}

int AudioChannelIsPlaying(uint32_t channel) {
  DeviceLock lock;
  ChannelSlot* slot = FindSlot(channel);
  return slot && slot->channel.playing ? 1 : 0;
}

void AudioFree() {
  // Close first: once it returns, the device no longer calls the mix, so the channels can go.
  if (g_audio.device) g_audio.device->Close();
  g_audio.device = nullptr;
  for (ChannelSlot& slot : g_audio.slots) slot = ChannelSlot{};
  g_audio.started = false;
}

void AudioSleep(int milliseconds, AudioDevice* output) {
  if (output) {
    output->Sleep(milliseconds);
  } else {
    SleepMs(milliseconds);
  }
}
