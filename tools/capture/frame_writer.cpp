#include "frame_writer.h"

#include <memory>
#include <vector>

#include "platform/child_process.h"
#include "resource/png_encode.h"

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WriteFramePng(const std::string& path, const uint8_t* bgra, int width, int height, int pitch,
                   std::string* error) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = bgra + static_cast<size_t>(y) * pitch;
    uint8_t* dst = rgb.data() + static_cast<size_t>(y) * width * 3;
    for (int x = 0; x < width; ++x) {
      dst[3 * x + 0] = src[4 * x + 2];
      dst[3 * x + 1] = src[4 * x + 1];
      dst[3 * x + 2] = src[4 * x + 0];
    }
  }
  // Captures are large and many: speed over size.
  const std::vector<uint8_t> png = EncodePngRows(rgb.data(), width, height, 3, static_cast<size_t>(width) * 3, 3);
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (png.empty() || !file || std::fwrite(png.data(), 1, png.size(), file.get()) != png.size()) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool FfmpegAvailable() { return ProgramOnPath("ffmpeg"); }

VideoPipe::~VideoPipe() { FinishChild(child_); }

bool VideoPipe::Open(const std::string& path, int width, int height, int fps, std::string* error) {
  if (!FfmpegAvailable()) {
    *error = "writing a video needs ffmpeg, which is not on the PATH (on Debian: apt-get install ffmpeg)";
    return false;
  }
  const std::vector<std::string> args = {
      "ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "rawvideo", "-pixel_format", "bgr0",
      "-video_size", std::to_string(width) + "x" + std::to_string(height), "-framerate", std::to_string(fps),
      "-i", "-", "-c:v", "libx264", "-preset", "medium", "-crf", "18", "-pix_fmt", "yuv420p",
      "-movflags", "+faststart", path};
  child_ = StartWithInputPipe(args, &pipe_, error);
  return child_ != nullptr;
}

bool VideoPipe::Write(const uint8_t* bgra, int width, int height, int pitch) {
  const size_t row_bytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    if (std::fwrite(bgra + static_cast<size_t>(y) * pitch, 1, row_bytes, pipe_) != row_bytes) return false;
  }
  return true;
}

bool VideoPipe::Close(std::string* error) {
  if (!child_) return true;
  const int status = FinishChild(child_);
  child_ = nullptr;
  pipe_ = nullptr;
  if (status != 0) {
    *error = "ffmpeg failed (status " + std::to_string(status) + ")";
    return false;
  }
  return true;
}
