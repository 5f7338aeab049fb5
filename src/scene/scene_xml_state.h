// What the script loader's parts share: its state between element callbacks, where a
// message was met, the attribute readers and the fatal script error. The loader's entry is
// scene_xml.h; the element handlers (scene_xml_elements.cpp) and the attribute readers
// (scene_xml_attrs.cpp) build on this alone.
#pragma once

#include <expat.h>

#include <cstdint>
#include <string>
#include <vector>

struct Scene;
struct SceneObject;
struct CurveKey;
struct Motion;

constexpr int32_t SCRIPT_LINE_SIZE = 1024;
// Numeric attribute values are read from this many characters (one for the NUL).
constexpr int32_t NUMBER_ATTR_SIZE = 20;
constexpr int32_t XML_ERROR_TEXT_SIZE = 100;

// A problem the loader reported without stopping: a parse error, a motion file it could not
// read, an object in a scene without meshes.
struct ScriptProblem {
  int32_t line;
  std::string text;
};

// The loader's state between element callbacks; one parse at a time.
struct SceneXmlState {
  Scene* scene;          // the current scene: the caller's, or one made by <newscene>
  SceneObject* object;   // the current object: set by <object> and <camera>
  XML_Parser parser;     // while a parse runs
  char file_name[32];    // the script being parsed, for messages
  int32_t line;          // script line of the element being handled
  int32_t quiet;         // 1: keep traces and problem reports off the console (checking tools)
  std::vector<ScriptProblem> problems;  // of the last parse
  std::vector<Scene*> new_scenes;       // scenes made by <newscene>, owned here
};

extern SceneXmlState g_scene_xml;

// Frees the scenes <newscene> made and clears the state (quiet is kept).
void ResetSceneXmlState();

// "file:line" of the element being handled, "file" between elements: where loader messages
// and fatal errors raised during a parse say they were met.
std::string ScriptPlace();

// Copies the value of the attribute matching name into dst (dst_size bytes, cut to fit);
// "" when there is none. The last matching attribute wins.
void GetAttr(char* dst, int32_t dst_size, const char* name, const XML_Char** atts);
// -1.0 when the attribute is absent or empty, else its leading decimal number (0 if none).
float GetFloatAttr(const char* name, const XML_Char** atts);
// -1 when the attribute is absent or empty, else its leading decimal integer (0 if none).
int32_t GetIntAttr(const char* name, const XML_Char** atts);
// The "given" test: an attribute is given when its integer reading is not -1.
bool AttrGiven(const char* name, const XML_Char** atts);

// True when a name from the script is the keyword or a leading part of it, case ignored.
bool NameMatches(const char* name, const char* keyword);

// Raises the fatal "Error in XML: <subject> <text>" (cut to 99 characters), caption
// "Error in XML", exit status -1.
[[noreturn]] void XmlError(const char* subject, const char* text);

// Appends a zero-filled key to one channel of the motion (MOTION_POSITION .. MOTION_FOV).
CurveKey* AddKey(Motion* motion, int32_t channel);
