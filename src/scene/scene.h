// The scene: what the 3D renderer draws. A list of meshes, a list of objects that place
// them, one camera, and the textures the meshes may use. The scene owns all of it.
#pragma once

#include <cstdint>

#include "resource/texture_ref.h"
#include "scene/scene_object.h"

struct Mesh;

constexpr int32_t SCENE_MAX_TEXTURES = 256;
constexpr float DEFAULT_SCENE_FPS = 30.0f;
constexpr float CAMERA_START_Z = 20.0f;

struct Scene {
  Mesh* meshes = nullptr;  // in load order, linked through next and prev
  int32_t mesh_count = 0;
  SceneObject* objects = nullptr;  // in script order, linked through next and prev
  int32_t object_count = 0;
  SceneObject* camera;   // made with the scene and never replaced
  float fps = DEFAULT_SCENE_FPS;  // scene time units per second
  float time = 0.0f;              // frames
  float delta_seconds = 0.0f;     // the current frame's length, stored by the demo part
  TextureRef textures[SCENE_MAX_TEXTURES] = {};
  int32_t texture_count = 0;
  // The tails of the two lists, so a script of a hundred thousand objects does not walk
  // its list for each of them.
  Mesh* last_mesh = nullptr;
  SceneObject* last_object = nullptr;

  // Empty lists and a camera at (0, 0, 20) with fov 34.7.
  Scene();
  // Releases everything the scene owns (the running demo's scenes live until it ends).
  ~Scene();
  // A scene owns its lists, so it is never copied. Moving exchanges the two scenes' contents
  // (a reload keeps the scene it replaces until the new one has loaded).
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;
  Scene(Scene&& other) noexcept;
  Scene& operator=(Scene&& other) noexcept;
};

// Exchanges everything two scenes hold. Meshes bind their surfaces to entries of their own
// scene's texture list, so those bindings move over to the other scene's list with them.
void SwapScenes(Scene* a, Scene* b);

// A camera record with its start values; no motion, no list links.
SceneObject* NewCamera();

// Appends a zero-filled mesh at the tail of the mesh list and returns it.
Mesh* AddMesh(Scene* scene);

// Appends a zero-filled object that draws mesh at the tail of the object list.
SceneObject* AddObject(Scene* scene, Mesh* mesh);

// The first mesh in list order whose name begins with prefix, letter case ignored (so ""
// gives the first mesh); null when none does.
Mesh* FindMeshByPrefix(const Scene* scene, const char* prefix);

// Frees every mesh, object, motion and the camera, and leaves the scene as a new one.
// The running program never calls it (scenes live until it ends); tests and tools do.
void FreeScene(Scene* scene);
