// The demo's sound track: one file held in memory, played as an MP3 stream or, when it is
// not one, as a tracker module; wound down in pitch and faded out when the demo ends.
#pragma once

#include <cstdint>
#include <string>

#include "resource/mem_chunk.h"

class AudioDevice;

// The music's file, as the data archive knows it.
constexpr const char* kMusicFile = "zibo.mp3";
// The rate the music is mixed at, whatever the file's own.
constexpr int kMusicOutputRate = 44100;

struct MusicState {
  MemChunk chunk;   // the music file; its data stays allocated while the music plays
  uint32_t stream;  // 0 when no stream was created
  uint32_t module;  // 0 when no module was loaded
  AudioDevice* output;  // what the music plays on, the run's choice; none: silent
};

extern MusicState g_music;

// Back to the state before LoadMusic, the music to play on output from then on (a run's
// start; tests between runs).
void ResetMusic(AudioDevice* output);

// 1 when a channel was created from the chunk, 0 otherwise (file missing, no output, data
// neither stream nor module): the demo then runs silent. The music takes the chunk: its
// bytes (allocated with new[]) stay until FadeOutMusic frees them.
int LoadMusic(MemChunk chunk);

// Starts output and plays the channel (the stream loops at its end).
void PlayMusic();

// The player's controls: the music to seconds from its start (around its length, as it
// loops), held where it is, and going on from there. Nothing without music.
void SeekMusic(double seconds);
void PauseMusic();
void ResumeMusic();

// Reads the music file again and plays it on from seconds (held there when paused), for a
// reload. When the file cannot be read or does not play, the music that played goes on, the
// reason is said on stderr and returned as "zibo.mp3: why" for the title; "" when the new
// music took over (or there was none before and is none now).
std::string ReloadMusic(double seconds, bool paused);

// Slides the pitch down to 1000 Hz over 500 ms, fades the volume out over the last 200 ms,
// waits for both slides to end, frees the audio library and then the music's bytes: about
// half a second with music, 300 ms without.
void FadeOutMusic();

// Frees the audio library and the music's bytes at once, without the wind-down: the end of a
// run that ended early.
void ReleaseMusic();
