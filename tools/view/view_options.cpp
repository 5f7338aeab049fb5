#include "view_options.h"

#include <cmath>
#include <cstdlib>

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
    "  --help                this text\n"
    "\n"
    "In the window: Space pauses, Left and Right step one second, R reloads every file,\n"
    "E and O switch environment mapping and outlines, Escape quits.\n";

namespace {

// Time is replayed from 0 in frame-sized steps, so it needs a bound: a day.
constexpr double MAX_SECONDS = 86400.0;

bool ParseNumber(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0' && std::isfinite(*value);
}

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

std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string>& args, std::string* error) {
  ViewOptions options;
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
    auto triple = [&](float out[3]) {
      std::string text;
      if (!value(&text)) return false;
      if (!ParseTriple(text, out)) {
        *error = arg + ": '" + text + "' is not three numbers X,Y,Z";
        return false;
      }
      options.place_given = true;
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--env") {
      options.env_map = true;
    } else if (arg == "--outline") {
      options.outline = true;
    } else if (arg == "--png") {
      if (!value(&options.png_path)) return std::nullopt;
    } else if (arg == "--texture") {
      if (!value(&options.texture_path)) return std::nullopt;
    } else if (arg == "--background") {
      if (!value(&options.background_path)) return std::nullopt;
    } else if (arg == "--blend") {
      std::string text;
      double mode = 0;
      if (!value(&text)) return std::nullopt;
      if (!ParseNumber(text, &mode) || mode < 0 || mode > 7 || mode != std::floor(mode)) {
        *error = "--blend: '" + text + "' is not a blend mode from 0 to 7";
        return std::nullopt;
      }
      options.blend_mode = static_cast<int>(mode);
    } else if (arg == "--time") {
      std::string text;
      if (!value(&text)) return std::nullopt;
      if (!ParseNumber(text, &options.seconds) || options.seconds < 0 || options.seconds > MAX_SECONDS) {
        *error = "--time: '" + text + "' is not a number of seconds from 0 to 86400";
        return std::nullopt;
      }
    } else if (arg == "--pos") {
      if (!triple(options.pos)) return std::nullopt;
      options.pos_given = true;
    } else if (arg == "--rot") {
      if (!triple(options.rot)) return std::nullopt;
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else if (options.file.empty()) {
      options.file = arg;
    } else {
      *error = "one file at a time ('" + options.file + "' and '" + arg + "')";
      return std::nullopt;
    }
  }
  if (options.file.empty() && !options.help) {
    *error = "no file to show";
    return std::nullopt;
  }
  return options;
}
