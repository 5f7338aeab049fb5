#include "platform/web_audio.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>

namespace {

// Frames per block: about 46 ms at 44.1 kHz, enough that a frame's work never starves it.
constexpr int kBlockFrames = 2048;

WebAudioDevice* g_playing = nullptr;

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* kra_web_audio_fill(int frames) {
  return g_playing ? g_playing->Fill(frames) : nullptr;
}

// 1 when the page has a running (or resumable) context feeding from kra_web_audio_fill.
EM_JS(int, StartPageAudio, (int rate, int block_frames), {
  const Context = globalThis.AudioContext || globalThis.webkitAudioContext;
  if (!Context) return 0;
  let context = Module.kraContextMadeInClick;
  Module.kraContextMadeInClick = null;
  if (!context || context.sampleRate !== rate || context.state === "closed") {
    try {
      context = new Context({sampleRate: rate});
    } catch (error) {
      return 0;
    }
  }
  const node = context.createScriptProcessor(block_frames, 0, 2);
  node.onaudioprocess = (event) => {
    const left = event.outputBuffer.getChannelData(0);
    const right = event.outputBuffer.getChannelData(1);
    const pointer = _kra_web_audio_fill(left.length);
    if (!pointer) {
      left.fill(0);
      right.fill(0);
      node.disconnect();
      context.close();
      return;
    }
    const samples = HEAP16.subarray(pointer >> 1, (pointer >> 1) + 2 * left.length);
    for (let i = 0; i < left.length; ++i) {
      left[i] = samples[2 * i] / 32768;
      right[i] = samples[2 * i + 1] / 32768;
    }
  };
  // Through a gain the page's mute sets; a music reload makes a new context, which keeps it.
  const gain = context.createGain();
  gain.gain.value = Module.kraMuted ? 0 : 1;
  node.connect(gain);
  gain.connect(context.destination);
  if (context.state !== "running") {
    const resume = () => {
      context.resume();
      removeEventListener("click", resume, true);
      removeEventListener("keydown", resume, true);
    };
    addEventListener("click", resume, true);
    addEventListener("keydown", resume, true);
  }
  Module.kraAudio = {context: context, node: node, gain: gain};
  return 1;
});

EM_JS(void, MakePageAudioInClick, (int rate), {
  const Context = globalThis.AudioContext || globalThis.webkitAudioContext;
  if (!Context || Module.kraContextMadeInClick) return;
  try {
    Module.kraContextMadeInClick = new Context({sampleRate: rate});
    Module.kraContextMadeInClick.resume();
  } catch (error) {
    Module.kraContextMadeInClick = null;
  }
});

EM_JS(void, StopPageAudio, (), {
  const audio = Module.kraAudio;
  if (!audio) return;
  audio.node.disconnect();
  audio.context.close();
  Module.kraAudio = null;
});

void WebAudioDevice::MakeContextInClick(int rate) { MakePageAudioInClick(rate); }

WebAudioDevice::~WebAudioDevice() {
  if (g_playing == this) {
    StopPageAudio();
    g_playing = nullptr;
  }
}

bool WebAudioDevice::Open(int rate, AudioMixFunction mix, void* user) {
  if (mix_) return false;
  // A device still playing out its queue gives way to the new run.
  if (playing_) StopPageAudio();
  queued_.clear();
  queued_at_ = 0;
  sleep_remainder_ = 0;
  rate_ = rate;
  playing_ = StartPageAudio(rate, kBlockFrames) != 0;
  if (!playing_) return false;
  mix_ = mix;
  user_ = user;
  g_playing = this;
  return true;
}

void WebAudioDevice::Close() {
  mix_ = nullptr;
  user_ = nullptr;
  if (playing_ && queued_at_ >= queued_.size()) {
    StopPageAudio();
    playing_ = false;
  }
}

void WebAudioDevice::Sleep(int milliseconds) {
  if (!mix_ || milliseconds <= 0) return;
  const int64_t thousandths = static_cast<int64_t>(milliseconds) * rate_ + sleep_remainder_;
  sleep_remainder_ = thousandths % 1000;
  const int frames = static_cast<int>(thousandths / 1000);
  const size_t at = queued_.size();
  queued_.resize(at + 2 * static_cast<size_t>(frames), 0);
  Mix(queued_.data() + at, frames);
}

void WebAudioDevice::Mix(int16_t* stereo, int frames) {
  if (mix_) {
    mix_(stereo, frames, user_);
  } else {
    std::memset(stereo, 0, 2 * static_cast<size_t>(frames) * sizeof(int16_t));
  }
}

const int16_t* WebAudioDevice::Fill(int frames) {
  const size_t queued = queued_.size() - queued_at_;
  if (!mix_ && queued == 0) {
    playing_ = false;
    g_playing = nullptr;
    return nullptr;
  }
  ++blocks_;
  block_.resize(2 * static_cast<size_t>(frames));
  const size_t from_queue = std::min(queued, block_.size());
  std::memcpy(block_.data(), queued_.data() + queued_at_, from_queue * sizeof(int16_t));
  queued_at_ += from_queue;
  if (queued_at_ == queued_.size()) {
    queued_.clear();
    queued_at_ = 0;
  }
  const int rest = static_cast<int>((block_.size() - from_queue) / 2);
  if (rest > 0) Mix(block_.data() + from_queue, rest);
  return block_.data();
}
