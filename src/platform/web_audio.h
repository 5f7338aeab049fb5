// Audio output in a web page: Web Audio at the library's rate, stereo, mixed on the page's
// one thread whenever the browser asks for a block (a ScriptProcessorNode).
//
// Nothing can wait on that thread: a wait would only hold back the very callback that
// advances the music. So Sleep mixes the milliseconds' worth at once and queues it ahead of
// the live mix (the music's wind-down is computed in an instant and heard in full), and
// Close lets the queued sound play out before the context goes. A context made outside a
// click or key press starts suspended, as browsers want; the next one resumes it, unless the
// page made it in the click (MakeContextInClick).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio_device.h"

class WebAudioDevice final : public AudioDevice {
 public:
  ~WebAudioDevice() override;
  bool Open(int rate, AudioMixFunction mix, void* user) override;
  void Close() override;
  void Lock() override {}
  void Unlock() override {}
  void Sleep(int milliseconds) override;

  // Makes the page's audio context at rate while the visitor's click is being handled, when
  // every browser lets it play; the next Open at that rate takes it. For a page whose start
  // runs over several tasks after the click that started it.
  static void MakeContextInClick(int rate);

  // Blocks the browser asked for since the page loaded: the output runs when this grows.
  int64_t Blocks() const { return blocks_; }

  // The browser's request for frames of output: 16-bit stereo, valid until the next call;
  // null once a closed device has played out what it queued.
  const int16_t* Fill(int frames);

 private:
  void Mix(int16_t* stereo, int frames);

  int rate_ = 0;
  AudioMixFunction mix_ = nullptr;
  void* user_ = nullptr;
  bool playing_ = false;               // the page's context exists
  std::vector<int16_t> queued_;        // mixed ahead by Sleep, played first
  size_t queued_at_ = 0;               // samples of queued_ already played
  std::vector<int16_t> block_;
  int64_t sleep_remainder_ = 0;        // thousandths of a frame not yet mixed by Sleep
  int64_t blocks_ = 0;
};
