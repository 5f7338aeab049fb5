#include "view_options.h"

#include <cmath>
#include <cstdlib>

#include "platform/command_line.h"

const char* const kViewUsage =
    "usage: kra-view FILE [options]\n"
    "Shows an LWO2 object turning in front of the camera, or a scene script playing its\n"
    "motion in a loop, as the demo draws them. Files are found as the demo finds them: in\n"
    "the working directory, in data/, then in the archive autoexec.bat there, or in the\n"
    "one installed with kra when there is none.\n"
    "\n"
    "  --png OUT.png         render one frame into an RGB PNG instead of opening a window\n"
    "  --texture TEX.png     the texture of every mesh (default: texture.png)\n"
    "  --background IMG.png  drawn at the top left before the scene\n"
    "  --env                 environment mapping on every mesh\n"
    "  --outline             white triangle outlines on every mesh\n"
    "  --blend N             base blend mode 0 to 7 (default 4, a plain copy)\n"
    "  --time S              seconds into the script's motion, or of the object's turn\n"
    "  --pos X,Y,Z           object position; the camera sits at the origin looking\n"
    "                        towards -z (default: far enough to frame the whole object)\n"
    "  --rot AX,AY,AZ        object rotation in degrees\n"
    "                        (--pos and --rot: each number from -1e30 to 1e30)\n"
    "  --watch               reload by itself when a file it read changes\n"
    "  --version             the version, then exit\n"
    "  --help                this text\n"
    "\n"
    "In the window: Space pauses, Left and Right step one second, R reloads every file,\n"
    "E and O switch environment mapping and outlines, Escape quits.\n";

namespace {

// Time is replayed from 0 in frame-sized steps, so it needs a bound: a day.
constexpr double MAX_SECONDS = 86400.0;

bool ParseNumber(const std::string& text, double* value) { return ParseFiniteNumber(text, value); }

// "X,Y,Z": three finite numbers that fit a float.
bool ParseTriple(const std::string& text, float out[3]) {
  size_t start = 0;
  for (int i = 0; i < 3; i++) {
    size_t comma = text.find(',', start);
    if ((i < 2) != (comma != std::string::npos)) return false;
    double value = 0;
    if (!ParseNumber(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), &value) ||
        std::fabs(value) > 1e30) {
      return false;
    }
    out[i] = static_cast<float>(value);
    start = comma + 1;
  }
  return true;
}

}  // namespace

enum Option { kHelp = 1, kEnv, kOutline, kPng, kTexture, kBackground, kBlend, kTime, kPos, kRot, kWatch, kVersion };

constexpr CommandOption kOptions[] = {
    {"help", false, kHelp},         {"env", false, kEnv},     {"outline", false, kOutline}, {"png", true, kPng},
    {"texture", true, kTexture},    {"background", true, kBackground}, {"blend", true, kBlend},
    {"time", true, kTime},          {"pos", true, kPos},      {"rot", true, kRot},          {"watch", false, kWatch},
    {"version", false, kVersion},
};

std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string>& args, std::string* error) {
  ViewOptions options;
  auto triple = [&](const char* name, const char* text, float out[3], std::string* why) {
    if (!ParseTriple(text, out)) {
      *why = std::string("--") + name + ": '" + text + "' is not three numbers X,Y,Z, each from -1e30 to 1e30";
      return false;
    }
    options.place_given = true;
    return true;
  };
  auto handle = [&](int id, const char* value, std::string* why) {
    const std::string text = value ? value : "";
    switch (id) {
      case kHelp: options.help = true; return true;
      case kVersion: options.version = true; return true;
      case kWatch: options.watch = true; return true;
      case kEnv: options.env_map = true; return true;
      case kOutline: options.outline = true; return true;
      case kPng: options.png_path = text; return true;
      case kTexture: options.texture_path = text; return true;
      case kBackground: options.background_path = text; return true;
      case kBlend: {
        double mode = 0;
        if (!ParseNumber(text, &mode) || mode < 0 || mode > 7 || mode != std::floor(mode)) {
          *why = "--blend: '" + text + "' is not a blend mode from 0 to 7";
          return false;
        }
        options.blend_mode = static_cast<int>(mode);
        return true;
      }
      case kTime:
        if (!ParseNumber(text, &options.seconds) || options.seconds < 0 || options.seconds > MAX_SECONDS) {
          *why = "--time: '" + text + "' is not a number of seconds from 0 to 86400";
          return false;
        }
        return true;
      case kPos:
        if (!triple("pos", value, options.pos, why)) return false;
        options.pos_given = true;
        return true;
      case kRot: return triple("rot", value, options.rot, why);
    }
    return false;
  };
  std::vector<std::string> files;
  if (!ParseCommandLine(args, kOptions, handle, &files, error)) return std::nullopt;
  if (files.size() > 1) {
    *error = "one file at a time ('" + files[0] + "' and '" + files[1] + "')";
    return std::nullopt;
  }
  if (!files.empty()) options.file = files[0];
  if (options.file.empty() && !options.help && !options.version) {
    *error = "no file to show";
    return std::nullopt;
  }
  return options;
}
