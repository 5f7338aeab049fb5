#include "capture_options.h"

#include <cmath>
#include <cstdlib>

const char* const kCaptureUsage =
    "usage: kra-capture [options]\n"
    "Runs the demo without a screen, on virtual time, and writes what it shows.\n"
    "\n"
    "  --fps N          frames per second of demo time (default 60)\n"
    "  --frames DIR     write every kept frame as DIR/frame_000000.png, ...\n"
    "  --video FILE     write an H.264 video (needs ffmpeg)\n"
    "  --audio FILE     write the soundtrack as a WAV file\n"
    "  --from S         keep only frames at or after S seconds of demo time\n"
    "  --to S           keep only frames at or before S seconds of demo time\n"
    "  --quiet          no progress on stderr\n"
    "  --help           this text\n";

namespace {

bool ParseNumber(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0' && !std::isnan(*value);  // NaN passes no range test
}

}  // namespace

std::optional<CaptureOptions> ParseCaptureOptions(const std::vector<std::string>& args, std::string* error) {
  CaptureOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) {
        *error = arg + " needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    auto number = [&](double* out) {
      std::string text;
      if (!value(&text)) return false;
      if (!ParseNumber(text, out)) {
        *error = arg + ": '" + text + "' is not a number";
        return false;
      }
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--fps") {
      double fps = 0;
      if (!number(&fps)) return std::nullopt;
      if (fps < 1 || fps > 1000 || fps != static_cast<int>(fps)) {
        *error = "--fps must be a whole number from 1 to 1000";
        return std::nullopt;
      }
      options.fps = static_cast<int>(fps);
    } else if (arg == "--frames") {
      if (!value(&options.frames_dir)) return std::nullopt;
    } else if (arg == "--video") {
      if (!value(&options.video_path)) return std::nullopt;
    } else if (arg == "--audio") {
      if (!value(&options.audio_path)) return std::nullopt;
    } else if (arg == "--from") {
      if (!number(&options.from_seconds)) return std::nullopt;
    } else if (arg == "--to") {
      if (!number(&options.to_seconds)) return std::nullopt;
    } else {
      *error = "unknown option '" + arg + "'";
      return std::nullopt;
    }
  }
  if (options.from_seconds > options.to_seconds) {
    *error = "--from is after --to";
    return std::nullopt;
  }
  return options;
}
