// The audio output device: what the audio library needs of the platform.
//
// A device, once opened, calls the mix function for every block of 16-bit stereo output it
// needs. The library's state is shared between that call and the main thread; Lock and Unlock
// keep them apart. Sleep is how the demo waits on the music (the fade-out's polling): a real
// device sleeps in wall time, an offline device renders that much audio instead, so the wait
// costs no time and a capture holds exactly what would have been heard. One backend per file:
// sdl_audio.cpp and web_audio.cpp for loudspeakers, audio/audio_offline.cpp for captures and tests.
#pragma once

#include <cstdint>

using AudioMixFunction = void (*)(int16_t* stereo, int frames, void* user);

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Starts calling mix at rate Hz, stereo. false: no output device can be had here.
  virtual bool Open(int rate, AudioMixFunction mix, void* user) = 0;
  // Stops calling mix (waiting for a call in progress) and releases the device.
  virtual void Close() = 0;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  virtual void Sleep(int milliseconds) = 0;
};
