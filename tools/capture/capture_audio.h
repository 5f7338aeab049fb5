// A capture's soundtrack: the demo's audio rendered offline in lockstep with the virtual
// counter. Presented frame n (from 1) owns the output frames [(n-1) * rate / fps,
// n * rate / fps); the fade-out after the last frame is rendered by the demo's own waits on
// the offline device. Nothing depends on the wall clock, so two captures give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_offline.h"

class CaptureAudio {
 public:
  explicit CaptureAudio(int fps) : fps_(fps) {}

  // The audio device of the run the capture drives.
  OfflineAudioDevice* Device() { return &device_; }

  // After the presented-th frame (counted from 1) was shown; kept: whether the capture keeps it.
  void FramePresented(int64_t presented, bool kept);

  // The audio of the kept frames, from the first kept frame on; when the last presented
  // frame was kept, the fade-out after it too. Interleaved stereo.
  std::vector<int16_t> KeptSamples() const;
  int Rate() const { return device_.Rate(); }

 private:
  int64_t FrameStart(int64_t presented) const { return presented * device_.Rate() / fps_; }

  int fps_;
  OfflineAudioDevice device_;
  int64_t begin_ = -1;  // first output frame of the first kept frame
  int64_t end_ = 0;     // end of the last kept frame's output frames
  bool last_kept_ = false;
};

// Writes the samples as a 16-bit stereo WAV.
bool WriteCaptureWav(const std::string& path, const std::vector<int16_t>& samples, int rate, std::string* error);

// Muxes a WAV into a video with ffmpeg (video copied, audio AAC) into out_path.
bool MuxAudio(const std::string& video_path, const std::string& wav_path, const std::string& out_path,
              std::string* error);
