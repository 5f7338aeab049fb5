#include "frame_writer.h"

#include <png.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WriteFramePng(const std::string& path, const uint8_t* bgra, int width, int height, int pitch,
                   std::string* error) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    *error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    *error = "out of memory writing " + path;
    return false;
  }
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    *error = "libpng failed writing " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 3);  // captures are large and many: speed over size
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = bgra + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      row[3 * x + 0] = src[4 * x + 2];
      row[3 * x + 1] = src[4 * x + 1];
      row[3 * x + 2] = src[4 * x + 0];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

bool FfmpegAvailable() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

VideoPipe::~VideoPipe() {
  if (pipe_) pclose(pipe_);
}

bool VideoPipe::Open(const std::string& path, int width, int height, int fps, std::string* error) {
  if (!FfmpegAvailable()) {
    *error = "writing a video needs ffmpeg, which is not installed (apt-get install ffmpeg)";
    return false;
  }
  const std::string command =
      "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pixel_format bgr0 -video_size " +
      std::to_string(width) + "x" + std::to_string(height) + " -framerate " + std::to_string(fps) +
      " -i - -c:v libx264 -preset medium -crf 18 -pix_fmt yuv420p -movflags +faststart " +
      ShellQuote(path);
  pipe_ = popen(command.c_str(), "w");
  if (!pipe_) {
    *error = "cannot start ffmpeg";
    return false;
  }
  return true;
}

bool VideoPipe::Write(const uint8_t* bgra, int width, int height, int pitch) {
  const size_t row_bytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    if (std::fwrite(bgra + static_cast<size_t>(y) * pitch, 1, row_bytes, pipe_) != row_bytes) return false;
  }
  return true;
}

bool VideoPipe::Close(std::string* error) {
  if (!pipe_) return true;
  const int status = pclose(pipe_);
  pipe_ = nullptr;
  if (status != 0) {
    *error = "ffmpeg failed (status " + std::to_string(status) + ")";
    return false;
  }
  return true;
}
