#include "scene/object_motion.h"

#include <string>

#include "geometry/motion.h"
#include "geometry/motion_file.h"
#include "platform/load_problems.h"
#include "platform/message_box.h"
#include "scene/scene.h"
#include "scene/scene_object.h"
#include "platform/printable_text.h"

int EvaluateMotion(SceneObject* object, float step) {
  object->local_time += step;
  Motion* motion = object->motion;
  if (!motion) return 0;
  float t = object->local_time;

  EvaluateCurve(&motion->position, t, object->position);
  EvaluateCurve(&motion->rotation, t, object->rotation);

  // Channels without keys fall back to their defaults; with keys the curve overwrites.
  if (motion->scale.key_count == 0) {
    object->scale[0] = object->scale[1] = object->scale[2] = DEFAULT_SCALE;
  }
  EvaluateCurve(&motion->scale, t, object->scale);

  if (motion->alpha.key_count == 0) object->alpha[0] = DEFAULT_ALPHA;
  EvaluateCurve(&motion->alpha, t, object->alpha);

  if (motion->fov.key_count == 0) object->fov[0] = DEFAULT_FOV;
  EvaluateCurve(&motion->fov, t, object->fov);
  return 1;
}

void UpdateSceneMotion(Scene* scene) {
  float step = scene->delta_seconds * scene->fps;
  scene->time += step;
  // Objects outside their window keep their values and their clock, so their key times
  // count from the moment they became active.
  for (SceneObject* object = scene->objects; object; object = object->next) {
    if (ObjectAnimatedAt(object, scene->time)) EvaluateMotion(object, step);
  }
  EvaluateMotion(scene->camera, step);
}

int LoadMotionChunk(SceneObject* object, MemChunk chunk) {
  Motion* motion = nullptr;
  std::string error;
  if (!ReadMotionChunk(&chunk, &motion, &error)) {
    NoteLoadProblem(chunk.name, error);
    ShowMessageBox((PrintableText(chunk.name) + ": " + PrintableText(error)).c_str(), "ERROR");
    return 0;
  }
  // A motion belongs to one object alone, so the one it replaces can go.
  FreeMotion(object->motion);
  object->motion = motion;
  return 1;
}
