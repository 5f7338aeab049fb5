#include "capture_options.h"

#include <cctype>
#include <cstdio>

#include "demo/timeline.h"
#include "platform/command_line.h"
#include "platform/time_text.h"

const char* const kCaptureUsage =
    "usage: kra-capture [options]\n"
    "Runs the demo without a screen, on virtual time, and writes what it shows.\n"
    "\n"
    "  --fps N          frames per second of demo time (default 60); the demo draws\n"
    "                   its frames at 1/N, 2/N, ... seconds, none at 0\n"
    "  --frames DIR     write every kept frame as DIR/frame_000000.png, ...\n"
    "  --video FILE     write an H.264 video (needs ffmpeg)\n"
    "  --audio FILE     write the soundtrack as a WAV file\n"
    "  --from S         start at S seconds of demo time (0 to 116): the demo seeks there,\n"
    "                   and the frames are those a run from the start shows\n"
    "  --to S           keep only frames at or before S seconds of demo time\n"
    "  --size WxH       frames and video at W x H (even, 128x96 to 7680x4320), the picture\n"
    "                   scaled with sharp pixels to the largest 4:3 size that fits, centred\n"
    "                   on black: 1920x1080, 3840x2160 for video sites\n"
    "  --quiet          no progress on stderr\n"
    "  --version        the version, then exit\n"
    "  --help           this text\n";

namespace {

enum Option { kFps = 1, kFrames, kVideo, kAudio, kFrom, kTo, kSize, kQuiet, kVersion, kHelp };

constexpr CommandOption kOptions[] = {
    {"fps", true, kFps},     {"frames", true, kFrames}, {"video", true, kVideo},      {"audio", true, kAudio},
    {"from", true, kFrom},   {"to", true, kTo},         {"size", true, kSize},        {"quiet", false, kQuiet},
    {"version", false, kVersion}, {"help", false, kHelp},
};

// An output named "" would write nothing and say nothing.
bool TakeName(const char* option, const char* value, std::string* name, std::string* why) {
  if (value[0] == '\0') {
    *why = std::string("--") + option + ": an empty name";
    return false;
  }
  *name = value;
  return true;
}

// --to may name any time: past the end simply keeps every frame to the end.
constexpr double kLatestTo = 1e9;

// "1920x1080": two whole even numbers within the limits.
bool ParseSize(const char* value, int* width, int* height, std::string* why) {
  int w = 0, h = 0, used = 0;
  const std::string text = value;
  if (std::sscanf(value, "%5d%*[xX]%5d%n", &w, &h, &used) != 2 || used != static_cast<int>(text.size()) ||
      !std::isdigit(static_cast<unsigned char>(text[0]))) {
    *why = "--size: '" + text + "' is not WIDTHxHEIGHT (1920x1080)";
    return false;
  }
  if (w < 128 || h < 96 || w > 7680 || h > 4320 || w % 2 || h % 2) {
    *why = "--size must be even, from 128x96 to 7680x4320";
    return false;
  }
  *width = w;
  *height = h;
  return true;
}

}  // namespace

std::optional<CaptureOptions> ParseCaptureOptions(const std::vector<std::string>& args, std::string* error) {
  CaptureOptions options;
  std::vector<std::string> rest;
  auto handle = [&](int id, const char* value, std::string* why) {
    switch (id) {
      case kFps: {
        double fps = 0;
        if (!ParseFiniteNumber(value, &fps)) {
          *why = std::string("--fps: '") + value + "' is not a number";
          return false;
        }
        if (fps < 1 || fps > 1000 || fps != static_cast<int>(fps)) {
          *why = "--fps must be a whole number from 1 to 1000";
          return false;
        }
        options.fps = static_cast<int>(fps);
        return true;
      }
      case kFrames: return TakeName("frames", value, &options.frames_dir, why);
      case kVideo: return TakeName("video", value, &options.video_path, why);
      case kAudio: return TakeName("audio", value, &options.audio_path, why);
      case kFrom: return ParseMomentOption("from", value, 0.0, kDemoEnds, &options.from_seconds, why);
      case kTo: return ParseMomentOption("to", value, 0.0, kLatestTo, &options.to_seconds, why);
      case kSize: return ParseSize(value, &options.width, &options.height, why);
      case kQuiet: options.quiet = true; return true;
      case kVersion: options.version = true; return true;
      case kHelp: options.help = true; return true;
    }
    return false;
  };
  if (!ParseCommandLine(args, kOptions, handle, &rest, error)) return std::nullopt;
  if (!rest.empty()) {
    *error = "unexpected argument '" + rest.front() + "'";
    return std::nullopt;
  }
  if (options.from_seconds > options.to_seconds) {
    *error = "--from is after --to";
    return std::nullopt;
  }
  return options;
}
