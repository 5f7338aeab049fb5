// Writing scene scripts as a content maker would by hand: one element a line (the loader
// joins lines with nothing between them), CR LF line ends, comments that say what each part
// of the scene is for, and key times in the loader's seconds (30 frames each, while the parts
// play 20 a second, so a script second lasts 1.5 s on screen; comments give screen seconds).
#pragma once

#include <string>
#include <vector>

#include "scenes/stage.h"

namespace assets {

struct SceneScript {
  std::string text;
};

void ScriptLine(SceneScript* script, const std::string& line);
void ScriptComment(SceneScript* script, const std::string& comment);

// A <loadlwo> element for a cast member: the mesh's lightmap is its painted skin, which the
// renderer reads from the first texture the demo registers (texture.png; the attribute's
// text is not read). morph_file may be empty.
void ScriptLoadCast(SceneScript* script, const std::string& name, const std::string& file,
                    const std::string& morph_file);

// The shortest decimal text of a script time that the loader turns into exactly `frames`.
std::string ScriptTime(int frames);
// A number as an attribute value; values the loader would take for "absent" (-1 and what
// reads as the integer -1) are moved off it by a hair.
std::string ScriptNumber(float value);

// <key> elements, one per pose, each with a comment of its screen place and time.
void ScriptPoseKeys(SceneScript* script, const Stage& stage, const std::vector<Pose>& poses);

// Camera keys in world terms: on-screen second, position and rotation.
struct CameraKey {
  float seconds;
  float position[3];
  float rotation[3];
};
void ScriptCameraKeys(SceneScript* script, const std::vector<CameraKey>& keys);
// A camera riding the swell at the stage's place: up and down by lift, rolling by roll
// degrees, one half swing every half period, from second 0 to `until` at most.
std::vector<CameraKey> BobbingCamera(const Stage& stage, float until, float period, float lift, float roll);

// The opening lines (declaration, title comment, <scene>) and the closing </scene>.
void ScriptBegin(SceneScript* script, const std::vector<std::string>& about);
void ScriptEnd(SceneScript* script);

std::vector<uint8_t> ScriptBytes(const SceneScript& script);

}  // namespace assets
