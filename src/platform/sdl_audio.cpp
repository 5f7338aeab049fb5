#include "platform/sdl_audio.h"

#include "platform/log.h"
#include "platform/process.h"

bool SdlAudioDevice::Open(int rate, AudioMixFunction mix, void* user) {
  if (device_) return false;
  SDL_SetMainReady();  // the programs have their own main
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    LogDebug("audio: no audio subsystem: %s", SDL_GetError());
    return false;
  }
  mix_ = mix;
  user_ = user;
  SDL_AudioSpec want{};
  want.freq = rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = Callback;
  want.userdata = this;
  // No changes allowed: SDL converts to whatever the hardware takes, so the mix always runs
  // at the rate the library asked for.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (!device_) {
    LogDebug("audio: no output device: %s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  // The callback runs from now on (silence until channels play), so slides always advance.
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudioDevice::Close() {
  if (!device_) return;
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::Lock() {
  if (device_) SDL_LockAudioDevice(device_);
}

void SdlAudioDevice::Unlock() {
  if (device_) SDL_UnlockAudioDevice(device_);
}

void SdlAudioDevice::Sleep(int milliseconds) { SleepMs(milliseconds); }

void SdlAudioDevice::Callback(void* self, Uint8* stream, int bytes) {
  auto* device = static_cast<SdlAudioDevice*>(self);
  device->mix_(reinterpret_cast<int16_t*>(stream), bytes / 4, device->user_);
}
