#include "demo/music.h"

#include <cstdio>

#include "audio/audio_library.h"
#include "resource/data_archive.h"
#include "resource/mem_chunk.h"

MusicState g_music;

namespace {

// Flags the channels are created with; of their bits only AUDIO_LOOP means anything to our
// audio library (modules repeat; a stream's looping is asked for when it plays).
constexpr uint32_t kStreamFlags = 0x20000;
constexpr uint32_t kModuleFlags = 0x2006;

// The wind-down: the rate slides for kRateSlideMs; the fade starts kFadeDelayMs into it and
// ends with it.
constexpr int kWindDownRate = 1000;
constexpr int kRateSlideMs = 500;
constexpr int kFadeDelayMs = 300;
constexpr int kFadeMs = 200;

// The polling for the slides' end gives up after this many 1 ms waits: the slides end on the
// output's clock, and an output that stopped running must not hang the exit.
constexpr int kMaxPolls = 5000;

uint32_t MusicChannel() { return g_music.stream ? g_music.stream : g_music.module; }

}  // namespace

void ResetMusic(AudioDevice* output) { g_music = MusicState{.chunk = {}, .stream = 0, .module = 0, .output = output}; }

int LoadMusic(MemChunk chunk) {
  if (chunk.size == 0) return 0;
  g_music.chunk = chunk;
  if (AudioGetVersion() != AUDIO_VERSION) return 0;
  if (!AudioInit(-1, kMusicOutputRate, 0, g_music.output)) return 0;
  const uint32_t length = static_cast<uint32_t>(chunk.size);
  g_music.stream = AudioStreamCreateMemory(chunk.data, 0, length, kStreamFlags);
  if (g_music.stream) return 1;
  g_music.module = AudioMusicLoadMemory(chunk.data, 0, length, kModuleFlags);
  return g_music.module ? 1 : 0;
}

void PlayMusic() {
  AudioStart();
  ResumeMusic();
}

void SeekMusic(double seconds) { AudioChannelSetPosition(MusicChannel(), seconds); }

void PauseMusic() { AudioChannelPause(MusicChannel()); }

void ResumeMusic() {
  if (g_music.stream) {
    AudioStreamPlay(g_music.stream, 0, AUDIO_LOOP);
  } else {
    AudioMusicPlay(g_music.module);
  }
}

void ReleaseMusic() {
  AudioFree();
  FreeChunk(&g_music.chunk);
  ResetMusic(g_music.output);
}

std::string ReloadMusic(double seconds, bool paused) {
  MemChunk chunk = LoadFile(kMusicFile);
  const char* why = nullptr;
  if (chunk.size == 0) {
    // A demo that had no music and still has none has nothing to say.
    if (g_music.chunk.size == 0) return "";
    why = "cannot be read";
  } else if (!AudioDataPlays(chunk.data, static_cast<uint32_t>(chunk.size), kMusicOutputRate)) {
    why = "neither an MP3 stream nor a tracker module";
  }
  if (why) {
    FreeChunk(&chunk);
    std::fprintf(stderr, "kra: %s: %s; the music that played goes on\n", kMusicFile, why);
    return std::string(kMusicFile) + ": " + why;
  }
  ReleaseMusic();
  if (!LoadMusic(chunk)) std::fprintf(stderr, "kra: %s does not play; the demo goes on silent\n", kMusicFile);
  PlayMusic();
  SeekMusic(seconds);
  if (paused) PauseMusic();
  return "";
}

void FadeOutMusic() {
  const uint32_t channel = MusicChannel();
  AudioChannelSlideAttributes(channel, kWindDownRate, AUDIO_KEEP_VOLUME, AUDIO_KEEP_PAN, kRateSlideMs);
  AudioSleep(kFadeDelayMs, g_music.output);
  AudioChannelSlideAttributes(channel, AUDIO_KEEP_RATE, AUDIO_FADE_AND_STOP, AUDIO_KEEP_PAN, kFadeMs);
  for (int polls = 0; polls < kMaxPolls && AudioChannelIsSliding(channel); ++polls) AudioSleep(1, g_music.output);
  AudioFree();
  // Nothing reads the music any more: its bytes can go with the library.
  FreeChunk(&g_music.chunk);
  g_music.stream = g_music.module = 0;
}
