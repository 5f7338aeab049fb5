// SDL2 audio output: the default device at the requested rate, 16-bit stereo, mixed in SDL's
// audio thread.
#pragma once

#include <SDL.h>

#include "platform/audio_device.h"

class SdlAudioDevice final : public AudioDevice {
 public:
  ~SdlAudioDevice() override { Close(); }
  bool Open(int rate, AudioMixFunction mix, void* user) override;
  void Close() override;
  void Lock() override;
  void Unlock() override;
  void Sleep(int milliseconds) override;

 private:
  static void Callback(void* self, Uint8* stream, int bytes);

  SDL_AudioDeviceID device_ = 0;
  AudioMixFunction mix_ = nullptr;
  void* user_ = nullptr;
};
