#include "geometry/motion.h"
#include "scene/scene.h"

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
