// One placed thing of a scene: an object that draws a mesh, or the scene's camera.
//
// The motion evaluation writes the five channels each frame; the render pass reads them.
// start and end are scene times (frames) that bound when the object is animated and drawn.
#pragma once

#include <cstdint>

struct Mesh;
struct Motion;

constexpr int32_t OBJECT_NAME_SIZE = 20;

struct SceneObject {
  Mesh* mesh;         // null for the camera
  float position[3];
  float rotation[3];  // degrees about x, y, z
  float scale[3];
  float alpha[3];     // only [0] is meaningful
  float fov[3];       // only [0] is meaningful
  float start;        // scene time after which the object is drawn
  float end;          // scene time before which it is animated and drawn; 0: no end
  Motion* motion;
  float local_time;   // the object's own animation clock, frames
  char name[OBJECT_NAME_SIZE];
  SceneObject* next;
  SceneObject* prev;
  int32_t hidden;     // nonzero: the render pass skips the mesh
};

// The time windows, both with strict comparisons. An object without an end is animated at
// every time; one with an end only strictly between start and end.
bool ObjectAnimatedAt(const SceneObject* object, float scene_time);
bool ObjectDrawnAt(const SceneObject* object, float scene_time);

// Copies a name into the object's fixed field, cut to fit.
void SetObjectName(SceneObject* object, const char* name);
