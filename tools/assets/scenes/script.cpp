#include "scenes/script.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace assets {

namespace {

std::string Format(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// How the loader reads a key time: a float, times its rate, truncated.
int LoaderFrames(const std::string& text) { return int(float(std::atof(text.c_str())) * LOADER_FPS); }

std::string Attribute(const char* name, const std::string& value) { return std::string(" ") + name + "=\"" + value + "\""; }

std::string KeyElement(int frames, const float position[3], const float rotation[3], float tension) {
  std::string key = "<key" + Attribute("time", ScriptTime(frames));
  const char* pos[3] = {"pos_x", "pos_y", "pos_z"};
  const char* rot[3] = {"rot_x", "rot_y", "rot_z"};
  for (int i = 0; i < 3; ++i) key += Attribute(pos[i], ScriptNumber(position[i]));
  for (int i = 0; i < 3; ++i) key += Attribute(rot[i], ScriptNumber(rotation[i]));
  if (tension != 0.0f) key += Attribute("tension", ScriptNumber(tension));
  return key + Attribute("curve", "1") + "/>";
}

}  // namespace

void ScriptLine(SceneScript* script, const std::string& line) { script->text += line + "\r\n"; }

void ScriptComment(SceneScript* script, const std::string& comment) { ScriptLine(script, "<!-- " + comment + " -->"); }

void ScriptLoadCast(SceneScript* script, const std::string& name, const std::string& file,
                    const std::string& morph_file) {
  std::string morph = morph_file.empty() ? "" : " morphfile=\"" + morph_file + "\"";
  ScriptLine(script, "<loadlwo name=\"" + name + "\" filename=\"" + file + "\"" + morph + " lightmap=\"texture.png\"/>");
}

std::string ScriptTime(int frames) {
  for (int digits = 0; digits <= 4; ++digits) {
    std::string text = Format(("%." + std::to_string(digits) + "f").c_str(), frames / LOADER_FPS);
    if (LoaderFrames(text) == frames) return text;
  }
  return Format("%.4f", (frames + 0.002) / LOADER_FPS);
}

std::string ScriptNumber(float value) {
  std::string text = Format("%.2f", value);
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
    bool dot = text.back() == '.';
    text.pop_back();
    if (dot) break;
  }
  if (text == "-0") text = "0";
  if (std::atoi(text.c_str()) == -1) text = value < -1.5f ? "-2" : "-0.99";
  return text;
}

void ScriptPoseKeys(SceneScript* script, const Stage& stage, const std::vector<Pose>& poses) {
  for (const Pose& pose : poses) {
    WorldKey key = PlacePose(stage, pose);
    char note[96];
    std::snprintf(note, sizeof note, " <!-- %.2f s: screen (%.0f, %.0f), %.0f deep -->", pose.seconds, pose.sx,
                  pose.sy, pose.depth);
    ScriptLine(script, "  " + KeyElement(key.frames, key.position, key.rotation, key.tension) + note);
  }
}

void ScriptCameraKeys(SceneScript* script, const std::vector<CameraKey>& keys) {
  for (const CameraKey& key : keys) {
    char note[40];
    std::snprintf(note, sizeof note, " <!-- %.2f s -->", key.seconds);
    ScriptLine(script, "  " + KeyElement(FramesOf(key.seconds), key.position, key.rotation, 0.0f) + note);
  }
}

std::vector<CameraKey> BobbingCamera(const Stage& stage, float until, float period, float lift, float roll) {
  std::vector<CameraKey> keys;
  float half = period * 0.5f;
  for (int i = 0; float(i) * half <= until; ++i) {
    float sign = i % 2 == 0 ? 1.0f : -1.0f;
    float swing = i == 0 ? 0.0f : sign;
    keys.push_back({float(i) * half,
                    {stage.camera[0], stage.camera[1] + lift * swing, stage.camera[2]},
                    {0.0f, 0.0f, roll * swing}});
  }
  return keys;
}

void ScriptBegin(SceneScript* script, const std::vector<std::string>& about) {
  ScriptLine(script, "<?xml version=\"1.0\"?>");
  for (const std::string& line : about) ScriptComment(script, line);
  ScriptLine(script, "<scene>");
}

void ScriptEnd(SceneScript* script) { ScriptLine(script, "</scene>"); }

std::vector<uint8_t> ScriptBytes(const SceneScript& script) {
  return std::vector<uint8_t>(script.text.begin(), script.text.end());
}

}  // namespace assets
