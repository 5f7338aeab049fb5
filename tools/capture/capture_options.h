// kra-capture's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CaptureOptions {
  int fps = 60;
  std::string frames_dir;  // every kept frame as a numbered PNG
  std::string video_path;  // H.264 video through ffmpeg
  std::string audio_path;  // WAV of the soundtrack
  double from_seconds = 0.0;
  double to_seconds = 1e9;
  int width = 0;            // --size: frames and video at width x height (0: the frame's own size)
  int height = 0;
  bool quiet = false;
  bool help = false;
  bool version = false;
};

// Parses the arguments (without the program name); on a bad option returns nothing and sets error to a line for the user.
std::optional<CaptureOptions> ParseCaptureOptions(const std::vector<std::string>& args, std::string* error);

extern const char* const kCaptureUsage;
