// The audio library the music code calls: a device, channels playing an MP3 stream or a
// tracker module from memory, and timed attribute slides. Calls, arguments and results follow
// the classic C interface of such libraries (handles are non-zero 32-bit numbers, 0 is
// failure; operations answer 1 or 0), so the music code reads the same on every platform.
//
// Output goes to the device AudioInit is given (none: the demo runs silent). The
// mixing and the slides are plain code (audio_mixer.h) that the device calls.
#pragma once

#include <cstdint>

class AudioDevice;

// The interface version the music code was written against.
constexpr uint32_t AUDIO_VERSION = 0x80001;

// Channel flag: the channel restarts at its end instead of stopping.
constexpr uint32_t AUDIO_LOOP = 4;

// SlideAttributes arguments that leave an attribute alone, and the volume that fades out and
// then stops the channel.
constexpr int AUDIO_KEEP_RATE = -1;
constexpr int AUDIO_KEEP_VOLUME = -1;
constexpr int AUDIO_FADE_AND_STOP = -2;
constexpr int AUDIO_KEEP_PAN = -101;

uint32_t AudioGetVersion();

// Opens output at freq Hz, stereo; the library mixes into it until AudioFree. device -1 is
// the default (the only one); flags are unused. 1 when the output is ready; 0 without an
// output, when it cannot open, or when already initialised.
int AudioInit(int device, int freq, uint32_t flags, AudioDevice* output);

// A channel decoding the MP3 stream in data[offset, offset + length). The bytes are read
// while the channel plays and must stay. 0 when they are not an MP3 stream.
uint32_t AudioStreamCreateMemory(const void* data, uint32_t offset, uint32_t length, uint32_t flags);

// A channel playing the tracker module in data[offset, offset + length). The module repeats
// when flags has AUDIO_LOOP. 0 when the bytes are not a module.
uint32_t AudioMusicLoadMemory(const void* data, uint32_t offset, uint32_t length, uint32_t flags);

// 1 when data[0, length) is an MP3 stream or a tracker module that a channel would play at
// freq Hz, without a channel or a device: a caller about to replace what plays asks first.
int AudioDataPlays(const void* data, uint32_t length, int freq);

// Starts output: channels are heard from now on.
int AudioStart();

// Plays a stream from its start (flush non-zero) or where it is; AUDIO_LOOP in flags loops it.
int AudioStreamPlay(uint32_t stream, int flush, uint32_t flags);
int AudioMusicPlay(uint32_t music);

// Slides the channel's sample rate (Hz), volume (0..100) and pan (-100..100) to the targets
// over milliseconds of output. AUDIO_KEEP_* leaves an attribute (and a slide of it already
// running) alone; AUDIO_FADE_AND_STOP slides the volume to 0 and stops the channel.
int AudioChannelSlideAttributes(uint32_t channel, int freq, int volume, int pan, uint32_t milliseconds);

// 1 while a slide of the channel runs; 0 when none does and for an invalid handle.
int AudioChannelIsSliding(uint32_t channel);

// Moves the channel to seconds from its start (around its length when it loops); a playing
// channel goes on playing from there. 0 for an invalid handle or a source that cannot seek.
int AudioChannelSetPosition(uint32_t channel, double seconds);

// Stops the channel where it is; AudioStreamPlay without flush (or AudioMusicPlay) goes on
// from there.
int AudioChannelPause(uint32_t channel);

// The channel's current attributes (for tests and tools); 0 for an invalid handle.
int AudioChannelGetAttributes(uint32_t channel, float* freq, float* volume, float* pan);
// 1 while the channel plays.
int AudioChannelIsPlaying(uint32_t channel);

// Closes the device and releases every channel.
void AudioFree();

// Waits on the clock of output: wall time on a real device, rendered time on an offline one
// (even one that is not open: a capture's sound track lasts as long as the run), wall time
// without one.
void AudioSleep(int milliseconds, AudioDevice* output);
