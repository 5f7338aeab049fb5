// Offline audio: a device with no loudspeaker that mixes only when asked and keeps what it
// mixed. Its clock is the count of frames rendered, so captures and tests get sample-exact,
// reproducible audio: render the frames that belong to each video frame, and the demo's own
// waits on the music (Sleep) render their length too.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio_device.h"

class OfflineAudioDevice final : public AudioDevice {
 public:
  // rate: the rate of the silence rendered while no library has the device open.
  explicit OfflineAudioDevice(int rate = 44100) : rate_(rate) {}

  bool Open(int rate, AudioMixFunction mix, void* user) override;
  void Close() override;
  void Lock() override {}
  void Unlock() override {}
  // Renders the milliseconds' worth of frames (fractions carried over to the next call).
  void Sleep(int milliseconds) override;

  // Appends frames of output: the library's mix while open, silence otherwise.
  void Render(int64_t frames);
  // Renders until frame_count frames have been rendered in all (nothing if already there).
  void RenderUntil(int64_t frame_count);

  bool IsOpen() const { return mix_ != nullptr; }
  int Rate() const { return rate_; }
  int64_t FrameCount() const { return static_cast<int64_t>(samples_.size() / 2); }
  // Interleaved left, right.
  const std::vector<int16_t>& Samples() const { return samples_; }

 private:
  int rate_;
  AudioMixFunction mix_ = nullptr;
  void* user_ = nullptr;
  std::vector<int16_t> samples_;
  int64_t sleep_remainder_ = 0;  // thousandths of a frame not yet rendered by Sleep
};
