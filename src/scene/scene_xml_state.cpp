#include "scene/scene_xml_state.h"

#include <cstdio>

#include "scene/scene.h"
#include "platform/printable_text.h"

SceneXmlState g_scene_xml;

std::string ScriptPlace() {
  const std::string name = PrintableText(g_scene_xml.file_name);
  if (g_scene_xml.line <= 0) return name;
  return name + ":" + std::to_string(g_scene_xml.line);
}

void ResetSceneXmlState() {
  for (Scene* scene : g_scene_xml.new_scenes) delete scene;
  int32_t quiet = g_scene_xml.quiet;
  g_scene_xml.new_scenes.clear();
  g_scene_xml.problems.clear();
  g_scene_xml.scene = nullptr;
  g_scene_xml.object = nullptr;
  g_scene_xml.parser = nullptr;
  g_scene_xml.file_name[0] = '\0';
  g_scene_xml.line = 0;
  g_scene_xml.quiet = quiet;
}

// Each line goes to expat with a line end, so tags may continue on the next line and
// expat's line numbers are the script's own. The first syntax error ends the parse: expat
// stays in its error state after it, and everything built before it is kept.
