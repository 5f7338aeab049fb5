#include "audio/audio_mixer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBlockFrames = 1024;

// Advances a slide by one output frame and writes the attribute's value for that frame.
// Returns true on the frame the slide ends.
bool StepSlide(AudioSlide* slide, float* value) {
  if (!slide->active) return false;
  ++slide->elapsed;
  if (slide->elapsed >= slide->duration) {
    *value = slide->target;
    slide->active = false;
    return true;
  }
  const double t = static_cast<double>(slide->elapsed) / static_cast<double>(slide->duration);
  *value = static_cast<float>(slide->start + (slide->target - slide->start) * t);
  return false;
}

void StopChannel(AudioChannel* channel) {
  channel->playing = false;
  channel->rate_slide.active = false;
  channel->volume_slide.active = false;
  channel->pan_slide.active = false;
}

void StepSlides(AudioChannel* channel) {
  StepSlide(&channel->rate_slide, &channel->rate);
  StepSlide(&channel->pan_slide, &channel->pan);
  if (StepSlide(&channel->volume_slide, &channel->volume) && channel->stop_after_volume_slide) {
    channel->stop_after_volume_slide = false;
    StopChannel(channel);
  }
}

bool RefillBlock(AudioChannel* channel) {
  channel->block_pos = 0;
  channel->block_len = channel->source->Read(channel->block.data(), kBlockFrames);
  if (channel->block_len == 0 && channel->loop && channel->source->Rewind()) {
    channel->block_len = channel->source->Read(channel->block.data(), kBlockFrames);
  }
  return channel->block_len > 0;
}

// The source's next frame into frame; false at the end of a source that does not loop.
bool PullFrame(AudioChannel* channel, float* frame) {
  if (channel->block_pos >= channel->block_len && !RefillBlock(channel)) {
    frame[0] = frame[1] = 0;
    return false;
  }
  const float* src = &channel->block[2 * channel->block_pos++];
  frame[0] = src[0];
  frame[1] = src[1];
  return true;
}

void Prime(AudioChannel* channel) {
  channel->primed = true;
  channel->phase = 0;
  channel->source_done = !PullFrame(channel, channel->prev);
  if (!channel->source_done) channel->source_done = !PullFrame(channel, channel->next);
}

}  // namespace

void InitChannel(AudioChannel* channel, std::unique_ptr<AudioSource> source) {
  *channel = AudioChannel{};
  channel->rate = static_cast<float>(source->Rate());
  channel->source = std::move(source);
  channel->block.assign(2 * kBlockFrames, 0.0f);
}

void RestartChannel(AudioChannel* channel) {
  channel->source->Rewind();
  channel->block_pos = channel->block_len = 0;
  channel->primed = false;
  channel->source_done = false;
}

bool SeekChannel(AudioChannel* channel, double seconds) {
  if (!channel->source->Seek(seconds)) return false;
  channel->block_pos = channel->block_len = 0;
  channel->primed = false;
  channel->source_done = false;
  return true;
}

void StartSlide(AudioSlide* slide, float current, float target, int64_t duration_frames, float* value) {
  if (duration_frames <= 0) {
    slide->active = false;
    *value = target;
    return;
  }
  slide->active = true;
  slide->start = current;
  slide->target = target;
  slide->duration = duration_frames;
  slide->elapsed = 0;
}

bool ChannelIsSliding(const AudioChannel& channel) {
  return channel.rate_slide.active || channel.volume_slide.active || channel.pan_slide.active;
}

void MixChannel(AudioChannel* channel, float* stereo, int frames, int output_rate) {
  const double per_output_frame = 1.0 / output_rate;
  for (int i = 0; i < frames; ++i) {
    StepSlides(channel);
    if (!channel->playing) continue;
    if (!channel->primed) Prime(channel);

    const float t = static_cast<float>(channel->phase);
    const float left = channel->prev[0] + (channel->next[0] - channel->prev[0]) * t;
    const float right = channel->prev[1] + (channel->next[1] - channel->prev[1]) * t;
    const float gain = channel->volume * 0.01f;
    const float pan = channel->pan * 0.01f;
    stereo[2 * i] += left * gain * (pan > 0 ? 1 - pan : 1);
    stereo[2 * i + 1] += right * gain * (pan < 0 ? 1 + pan : 1);

    channel->phase += channel->rate * per_output_frame;
    while (channel->phase >= 1.0) {
      channel->phase -= 1.0;
      if (channel->source_done) {
        // Played out the last frame of a source that does not loop: the channel ends.
        StopChannel(channel);
        break;
      }
      channel->prev[0] = channel->next[0];
      channel->prev[1] = channel->next[1];
      channel->source_done = !PullFrame(channel, channel->next);
    }
  }
}

void ConvertToS16(const float* stereo, int16_t* out, int frames) {
  for (int i = 0; i < 2 * frames; ++i) {
    float scaled = stereo[i] * 32767.0f;
    if (!(scaled == scaled)) scaled = 0;  // NaN from a broken source: silence, not noise
    out[i] = static_cast<int16_t>(std::lrint(std::clamp(scaled, -32768.0f, 32767.0f)));
  }
}
