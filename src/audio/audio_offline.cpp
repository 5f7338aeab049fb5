#include "audio/audio_offline.h"

#include <algorithm>

bool OfflineAudioDevice::Open(int rate, AudioMixFunction mix, void* user) {
  if (mix_) return false;
  rate_ = rate;
  mix_ = mix;
  user_ = user;
  return true;
}

void OfflineAudioDevice::Close() {
  mix_ = nullptr;
  user_ = nullptr;
}

void OfflineAudioDevice::Sleep(int milliseconds) {
  if (milliseconds <= 0) return;
  const int64_t thousandths = static_cast<int64_t>(milliseconds) * rate_ + sleep_remainder_;
  sleep_remainder_ = thousandths % 1000;
  Render(thousandths / 1000);
}

void OfflineAudioDevice::Render(int64_t frames) {
  constexpr int64_t kBlock = 4096;
  while (frames > 0) {
    const int n = static_cast<int>(std::min(frames, kBlock));
    const size_t at = samples_.size();
    samples_.resize(at + 2 * static_cast<size_t>(n), 0);
    if (mix_) mix_(samples_.data() + at, n, user_);
    frames -= n;
  }
}

void OfflineAudioDevice::RenderUntil(int64_t frame_count) {
  if (frame_count > FrameCount()) Render(frame_count - FrameCount());
}
