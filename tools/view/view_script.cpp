#include "view_script.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "check_files.h"
#include "geometry/curve.h"
#include "geometry/motion.h"
#include "platform/fatal.h"
#include "platform/process.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

namespace {

// "Parse error at line N:\nreason\n" carries its line apart; the report gives the reason.
std::string ProblemText(const std::string& text) {
  std::string out = text;
  if (out.rfind("Parse error", 0) == 0) out = "XML syntax error: " + out.substr(out.find('\n') + 1);
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  while (!out.empty() && out.front() == '\n') out.erase(out.begin());
  return out;
}

void ReportLoadFailure(CheckReport* report, const std::string& file, std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const FatalError& error) {
    ReportProblem(report, file, g_scene_xml.line, "", ProblemText(error.what()));
  } catch (const ProcessExit& exit) {
    ReportProblem(report, file, g_scene_xml.line, "", FormatText("ends the demo (status %d)", exit.status));
  } catch (const std::exception& error) {
    ReportProblem(report, file, g_scene_xml.line, "", error.what());
  }
}

int32_t LastKeyTime(const SceneObject* object) {
  int32_t last = 0;
  if (!object->motion) return last;
  for (int32_t channel = 0; channel < MOTION_CHANNEL_COUNT; channel++) {
    for (const CurveKey* key = MotionChannel(object->motion, channel)->keys; key; key = key->next) {
      last = std::max(last, key->time);
    }
  }
  return last;
}

ObjectPose PoseOf(const SceneObject& object) {
  ObjectPose pose;
  std::memcpy(pose.position, object.position, sizeof pose.position);
  std::memcpy(pose.rotation, object.rotation, sizeof pose.rotation);
  std::memcpy(pose.scale, object.scale, sizeof pose.scale);
  std::memcpy(pose.alpha, object.alpha, sizeof pose.alpha);
  std::memcpy(pose.fov, object.fov, sizeof pose.fov);
  pose.local_time = object.local_time;
  return pose;
}

}  // namespace

bool BuildScriptScene(CheckReport* report, const std::string& file, MemChunk chunk, ViewContent* content) {
  content->scene = new Scene;
  ResetSceneXmlState();
  g_scene_xml.quiet = 1;
  std::exception_ptr failure;
  std::vector<std::string> lines = CaptureConsole([&] { LoadSceneXml(content->scene, chunk); }, &failure);
  for (const ScriptProblem& problem : g_scene_xml.problems) {
    ReportProblem(report, file, problem.line, "", ProblemText(problem.text));
  }
  ReportConsoleLines(report, file, lines);
  if (failure) ReportLoadFailure(report, file, failure);
  if (!failure && !g_scene_xml.new_scenes.empty()) {
    ReportProblem(report, file, 0, "", "<newscene> starts a scene of its own, which no demo part draws");
  }
  ResetSceneXmlState();
  if (failure) return false;

  Scene* scene = content->scene;
  int32_t last_key = LastKeyTime(scene->camera);
  for (const SceneObject* object = scene->objects; object; object = object->next) {
    CheckMotionKeys(report, file, FormatText("object \"%s\"", object->name), object->motion);
    last_key = std::max(last_key, LastKeyTime(object));
    content->start_poses.push_back(PoseOf(*object));
  }
  CheckMotionKeys(report, file, "camera", scene->camera->motion);
  content->start_poses.push_back(PoseOf(*scene->camera));
  // As the scene parts do after loading: their own playback rate, time from 0.
  scene->fps = VIEW_SCENE_FPS;
  scene->time = 0.0f;
  content->loop_seconds = last_key / static_cast<double>(VIEW_SCENE_FPS);
  return true;
}
