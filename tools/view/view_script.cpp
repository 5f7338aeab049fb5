#include "view_script.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "check_files.h"
#include "check_motion_keys.h"
#include "check_script.h"
#include "geometry/curve.h"
#include "geometry/motion.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

namespace {

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
  const bool loaded = LoadScriptReported(report, file, chunk, content->scene);
  if (loaded && !g_scene_xml.new_scenes.empty()) {
    ReportProblem(report, file, 0, "", "<newscene> starts a scene of its own, which no demo part draws");
  }
  ResetSceneXmlState();
  if (!loaded) return false;

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
