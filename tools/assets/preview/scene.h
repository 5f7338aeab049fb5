// The 3D scenes in the preview frames: a scene script loaded, set up and drawn by the demo's
// own loader and renderer as the scene parts set it up (texture.png and texture2.png added
// to the scene, sphere mapping on the meshes the parts shade, fps 20), posed at chosen
// times of each object's clock.
#pragma once

#include <string>

#include "draw/canvas.h"

namespace assets {

struct ScenePose {
  const char* script;
  int shaded_meshes;        // the first meshes the part gives texture.png and sphere mapping
  float object_seconds[3];  // each object's own clock (the parts restart some of them)
  float camera_seconds;
  bool first_in_texture2;   // the first mesh as it looks after its morph
  float morph[3];           // BlendMorph weight per mesh; below 0: left in its base shape
  int hidden_mask;          // bit n hides object n, as the parts hide them
};

// Draws the posed scene over frame. The script and everything it names are read as the
// demo reads them (working directory, data/, autoexec.bat). False with a message when the
// script cannot be loaded.
bool DrawScenePose(Canvas* frame, const ScenePose& pose, std::string* error);

}  // namespace assets
