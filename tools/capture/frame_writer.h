// Where kra-capture puts the frames it keeps: numbered PNG files, and/or a video piped
// through ffmpeg. Frames arrive as the headless display holds them: 32-bit pixels whose
// bytes in memory are B, G, R, A.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct ChildProcess;

// Writes width x height BGRA pixels (pitch bytes apart) as an 8-bit RGB PNG. Returns false
// and sets error when the file cannot be written.
bool WriteFramePng(const std::string& path, const uint8_t* bgra, int width, int height, int pitch,
                   std::string* error);

// Whether ffmpeg is on the PATH.
bool FfmpegAvailable();

class VideoPipe {
 public:
  ~VideoPipe();
  // Starts ffmpeg encoding raw frames to H.264 in path.
  bool Open(const std::string& path, int width, int height, int fps, std::string* error);
  bool Write(const uint8_t* bgra, int width, int height, int pitch);
  // Waits for ffmpeg; false when it failed.
  bool Close(std::string* error);

 private:
  ChildProcess* child_ = nullptr;
  FILE* pipe_ = nullptr;
};
