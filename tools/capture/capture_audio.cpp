#include "capture_audio.h"

#include "audio/audio_wav.h"
#include "platform/child_process.h"

void CaptureAudio::FramePresented(int64_t presented, bool kept) {
  device_.RenderUntil(FrameStart(presented));
  last_kept_ = kept;
  if (!kept) return;
  if (begin_ < 0) begin_ = FrameStart(presented - 1);
  end_ = FrameStart(presented);
}

std::vector<int16_t> CaptureAudio::KeptSamples() const {
  if (begin_ < 0) return {};
  const int64_t end = last_kept_ ? device_.FrameCount() : end_;
  const std::vector<int16_t>& all = device_.Samples();
  return std::vector<int16_t>(all.begin() + 2 * begin_, all.begin() + 2 * end);
}

bool WriteCaptureWav(const std::string& path, const std::vector<int16_t>& samples, int rate, std::string* error) {
  return WriteWavFile(path, samples.data(), static_cast<int64_t>(samples.size() / 2), 2, rate, error);
}

bool MuxAudio(const std::string& video_path, const std::string& wav_path, const std::string& out_path,
              std::string* error) {
  // No -shortest: the sound's fade-out may run on past the last frame, which then stays up.
  const int status = RunProgram({"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", video_path,
                                  "-i", wav_path, "-map", "0:v", "-map", "1:a", "-c:v", "copy", "-c:a", "aac", "-b:a",
                                  "192k", "-movflags", "+faststart", out_path});
  if (status != 0) {
    *error = "ffmpeg could not add the sound to " + out_path + " (status " + std::to_string(status) + ")";
    return false;
  }
  return true;
}
