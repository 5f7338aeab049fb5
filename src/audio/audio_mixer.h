// The channel and its mixing, in plain code: no device, no threads, no SDL. The SDL callback
// and offline rendering both call MixChannel, so a capture hears exactly what a listener
// would, and the timed slides run on the sample clock (a 500 ms slide is 22050 output frames
// at 44100 Hz, whatever the wall clock does).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_source.h"

// One attribute moving linearly from start to target over duration output frames.
struct AudioSlide {
  bool active = false;
  float start = 0;
  float target = 0;
  int64_t duration = 0;  // output frames
  int64_t elapsed = 0;   // output frames since the slide began
};

struct AudioChannel {
  std::unique_ptr<AudioSource> source;
  bool playing = false;
  bool loop = false;          // rewind the source at its end instead of stopping
  float rate = 44100;         // the channel's sample rate attribute, Hz
  float volume = 100;         // 0..100
  float pan = 0;              // -100 (left) .. 100 (right)
  AudioSlide rate_slide;
  AudioSlide volume_slide;
  AudioSlide pan_slide;
  bool stop_after_volume_slide = false;

  // Resampler: the output lies between source frames prev and next, phase of the way on.
  double phase = 0;
  float prev[2] = {0, 0};
  float next[2] = {0, 0};
  bool primed = false;
  bool source_done = false;   // the source ended and does not loop: play out, then stop
  std::vector<float> block;   // decoded frames waiting to be resampled
  int block_pos = 0;
  int block_len = 0;
};

// Attribute ranges the channel keeps to.
constexpr float AUDIO_MIN_RATE = 100;
constexpr float AUDIO_MAX_RATE = 200000;

// A channel over source: native rate, full volume, centre, stopped.
void InitChannel(AudioChannel* channel, std::unique_ptr<AudioSource> source);

// Back to the source's first frame, with the resampler emptied.
void RestartChannel(AudioChannel* channel);

// To the source's frame at seconds, with the resampler emptied. false: the source cannot
// seek, and the channel is left as it was.
bool SeekChannel(AudioChannel* channel, double seconds);

// Starts a slide of one attribute from its current value; a duration of 0 frames sets it at once.
void StartSlide(AudioSlide* slide, float current, float target, int64_t duration_frames, float* value);

// True while any of the channel's slides runs.
bool ChannelIsSliding(const AudioChannel& channel);

// Adds frames output frames of the channel at output_rate into stereo (interleaved), advancing
// its slides and its source. A channel that is not playing adds nothing but its slides still
// run, so a slide always ends on time.
void MixChannel(AudioChannel* channel, float* stereo, int frames, int output_rate);

// Float mix to 16-bit output, rounding and clamping to full scale.
void ConvertToS16(const float* stereo, int16_t* out, int frames);
