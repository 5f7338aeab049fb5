// kra-view's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ViewOptions {
  std::string file;             // the LWO2 object or scene script to show
  std::string png_path;         // one frame to this file, no window
  std::string texture_path;     // "": the demo's "texture.png"
  std::string background_path;  // drawn at (0, 0) before the scene; "": a cleared frame
  bool env_map = false;
  bool outline = false;
  int blend_mode = 4;
  double seconds = 0.0;  // script: scene time; object: how far it has turned
  bool place_given = false;  // --pos or --rot: only objects can be placed
  bool pos_given = false;
  float pos[3] = {0, 0, 0};
  float rot[3] = {0, 0, 0};
  bool watch = false;  // reload by itself when a file the load read changes
  bool help = false;
  bool version = false;
};

// Parses argv; on a bad option returns nothing and sets error to a line for the user.
std::optional<ViewOptions> ParseViewOptions(const std::vector<std::string>& args, std::string* error);

extern const char* const kViewUsage;
