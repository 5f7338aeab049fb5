// Plays a scene script the way the demo's 3D parts do, frame by frame, without drawing:
// each part's restarts of its first objects' clocks, its hiding and showing, the x >= 50
// floor of "swam" and its morphs. The content tests then look at where everything is.
#pragma once

#include <cmath>

#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "geometry/motion.h"
#include "scene/object_motion.h"
#include "scene/scene.h"

enum class ScenePart { MAMMA, SWIM, SWAM };

struct PartPlay {
  Scene* scene;
  ScenePart part;
  float t;  // part seconds
};

inline SceneObject* NthObject(Scene* scene, int n) {
  SceneObject* object = scene->objects;
  while (object && n-- > 0) object = object->next;
  return object;
}

inline Mesh* NthMesh(Scene* scene, int n) {
  Mesh* mesh = scene->meshes;
  while (mesh && n-- > 0) mesh = mesh->next;
  return mesh;
}

inline PartPlay StartPart(Scene* scene, ScenePart part) {
  for (int i = 0; i < 2; ++i) NthObject(scene, i)->local_time = 0.0f;
  scene->time = 0.0f;
  scene->fps = 20.0f;
  if (part == ScenePart::SWAM) NthObject(scene, 2)->hidden = 1;
  return {scene, part, 0.0f};
}

// One frame of delta seconds.
inline void StepPart(PartPlay* play, float delta) {
  Scene* scene = play->scene;
  SceneObject* first = NthObject(scene, 0);
  SceneObject* second = NthObject(scene, 1);
  float t = play->t;
  if (play->part != ScenePart::MAMMA && first->local_time > 150.0f && t < 20.0f) {
    first->local_time = 0.0f;
    if (play->part == ScenePart::SWIM) second->local_time = 0.0f;
  }
  if (play->part == ScenePart::SWIM) second->hidden = t < 10.5f ? 1 : 0;
  scene->delta_seconds = delta;
  play->t = t = t + delta;
  UpdateSceneMotion(scene);
  if (play->part == ScenePart::SWIM) {
    if (t > 35.0f && t < 36.0f) BlendMorph(NthMesh(scene, 0), t - 35.0f);
    if (t > 36.0f) BlendMorph(NthMesh(scene, 0), 1.0f);
  }
  if (play->part == ScenePart::SWAM) {
    second->hidden = t < 15.0f ? 1 : 0;
    if (t >= 15.0f && first->position[0] < 50.0f) first->position[0] = 50.0f;
    if (t < 23.0f) BlendMorph(NthMesh(scene, 0), 1.0f);
    else if (t < 24.0f) BlendMorph(NthMesh(scene, 0), 1.0f - (t - 23.0f));
    if (t > 28.0f) {
      NthObject(scene, 2)->hidden = 0;
      first->hidden = 1;
      second->hidden = 1;
      BlendMorph(NthMesh(scene, 2), std::sin(2.0f * t) + 1.0f);
    }
  }
}
