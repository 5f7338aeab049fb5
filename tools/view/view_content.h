// What kra-view shows: one object in a scene of its own, or the scene a script builds,
// with the mesh texture and the background, loaded the way the demo's scene parts load
// theirs. Reloading frees all of it and loads it again from the files.
#pragma once

#include <string>
#include <vector>

#include "resource/texture.h"
#include "view_options.h"

struct Scene;

enum class ViewKind { OBJECT, SCRIPT };

// The channel values and clock of an object or the camera as loading left them: posing a
// script at an earlier time starts again from these.
struct ObjectPose {
  float position[3];
  float rotation[3];
  float scale[3];
  float alpha[3];
  float fov[3];
  float local_time;
};

struct ViewContent {
  ViewKind kind;
  Scene* scene;        // owned; null when nothing is loaded
  Texture background;  // empty without --background
  // The object's bounding sphere, in mesh coordinates.
  float center[3];
  float radius;
  // A script's loop: its last key, in seconds of playback.
  double loop_seconds;
  std::vector<ObjectPose> start_poses;  // the script's objects in list order, then the camera
  double posed_seconds;  // the time the scene's motion was last evaluated for; < 0: none
};

// The demo's scene parts play their scenes at this many frames per second, whatever the
// script's own rate.
constexpr float VIEW_SCENE_FPS = 20.0f;

// Frees the scene, the background and every registered texture.
void FreeViewContent(ViewContent* content);

// Applies the switches the window can flip to every mesh.
void SetMeshFlags(ViewContent* content, bool env_map, bool outline);
