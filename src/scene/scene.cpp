#include "scene/scene.h"

#include <strings.h>

#include <cstring>
#include <utility>

#include "geometry/mesh.h"
#include "geometry/motion.h"

Scene::Scene() : camera(NewCamera()) {}

static void FreeSceneLists(Scene* scene);

SceneObject* NewCamera() {
  SceneObject* camera = new SceneObject{};
  camera->position[2] = CAMERA_START_Z;
  camera->fov[0] = DEFAULT_FOV;
  return camera;
}

Mesh* AddMesh(Scene* scene) {
  Mesh* mesh = new Mesh{};
  if (scene->last_mesh) {
    scene->last_mesh->next = mesh;
    mesh->prev = scene->last_mesh;
  } else {
    scene->meshes = mesh;
  }
  scene->last_mesh = mesh;
  scene->mesh_count++;
  return mesh;
}

SceneObject* AddObject(Scene* scene, Mesh* mesh) {
  SceneObject* object = new SceneObject{};
  if (scene->last_object) {
    scene->last_object->next = object;
    object->prev = scene->last_object;
  } else {
    scene->objects = object;
  }
  scene->last_object = object;
  scene->object_count++;
  object->mesh = mesh;
  return object;
}

Mesh* FindMeshByPrefix(const Scene* scene, const char* prefix) {
  size_t length = std::strlen(prefix);
  for (Mesh* mesh = scene->meshes; mesh; mesh = mesh->next) {
    if (strncasecmp(mesh->name, prefix, length) == 0) return mesh;
  }
  return nullptr;
}

static void FreeObject(SceneObject* object) {
  if (!object) return;
  FreeMotion(object->motion);
  delete object;
}

static void FreeSceneLists(Scene* scene) {
  for (Mesh* mesh = scene->meshes; mesh;) {
    Mesh* next = mesh->next;
    FreeMeshArrays(mesh);
    delete mesh->lightmap;  // made for the mesh by the loader; surface textures are the scene's
    delete mesh;
    mesh = next;
  }
  for (SceneObject* object = scene->objects; object;) {
    SceneObject* next = object->next;
    FreeObject(object);
    object = next;
  }
  FreeObject(scene->camera);
  scene->camera = nullptr;
}

void FreeScene(Scene* scene) {
  FreeSceneLists(scene);
  scene->meshes = nullptr;
  scene->mesh_count = 0;
  scene->last_mesh = nullptr;
  scene->objects = nullptr;
  scene->object_count = 0;
  scene->last_object = nullptr;
  scene->camera = NewCamera();
  scene->fps = DEFAULT_SCENE_FPS;
  scene->time = 0.0f;
  scene->delta_seconds = 0.0f;
  std::memset(scene->textures, 0, sizeof(scene->textures));
  scene->texture_count = 0;
}

Scene::~Scene() { FreeSceneLists(this); }

Scene::Scene(Scene&& other) noexcept : Scene() { SwapScenes(this, &other); }

Scene& Scene::operator=(Scene&& other) noexcept {
  if (this != &other) SwapScenes(this, &other);
  return *this;
}

// Surface bindings that point into from's texture list are moved to the same entries of to's.
static void RebindSurfaces(Mesh* meshes, TextureRef* from, TextureRef* to) {
  for (Mesh* mesh = meshes; mesh; mesh = mesh->next) {
    for (TextureRef*& ref : mesh->surface_textures) {
      if (ref >= from && ref < from + SCENE_MAX_TEXTURES) ref = to + (ref - from);
    }
  }
}

void SwapScenes(Scene* a, Scene* b) {
  std::swap(a->meshes, b->meshes);
  std::swap(a->mesh_count, b->mesh_count);
  std::swap(a->objects, b->objects);
  std::swap(a->object_count, b->object_count);
  std::swap(a->camera, b->camera);
  std::swap(a->fps, b->fps);
  std::swap(a->time, b->time);
  std::swap(a->delta_seconds, b->delta_seconds);
  std::swap(a->textures, b->textures);
  std::swap(a->texture_count, b->texture_count);
  std::swap(a->last_mesh, b->last_mesh);
  std::swap(a->last_object, b->last_object);
  RebindSurfaces(a->meshes, b->textures, a->textures);
  RebindSurfaces(b->meshes, a->textures, b->textures);
}
