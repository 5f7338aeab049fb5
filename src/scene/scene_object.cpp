#include "scene/scene_object.h"

#include <cstdio>

bool ObjectAnimatedAt(const SceneObject* object, float scene_time) {
  return object->end == 0.0f || (object->start < scene_time && scene_time < object->end);
}

bool ObjectDrawnAt(const SceneObject* object, float scene_time) {
  return object->start < scene_time && (object->end == 0.0f || scene_time < object->end);
}

void SetObjectName(SceneObject* object, const char* name) {
  std::snprintf(object->name, sizeof(object->name), "%s", name ? name : "");
}
