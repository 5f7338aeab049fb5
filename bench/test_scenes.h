// Scenes for the renderer's benchmarks: a grid of textured spheres in front of the default
// camera, turned so that every frame draws a different mix of spans. Needs InitRenderer
// first (the textures go into the texture table).
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/mesh.h"
#include "render/render_context.h"
#include "resource/texture_table.h"
#include "scene/scene.h"
#include "scene/sphere.h"

struct TestSceneShape {
  int32_t columns, rows;  // spheres across and down
  int32_t slices;         // per sphere: about slices * slices triangles, half of them facing
  float radius;
  int32_t env_map;  // sphere-mapped, as the demo's shiny meshes
  int32_t outline;
  int32_t lightmap;  // a second texture through the lightmap layer
};

// A 256 x 256 checker of two colours, registered; returns its reference in the scene.
inline TextureRef* AddCheckerTexture(Scene* scene, uint32_t a, uint32_t b) {
  std::vector<uint32_t> texels(TEXTURE_SIZE * TEXTURE_SIZE);
  for (int32_t y = 0; y < TEXTURE_SIZE; ++y) {
    for (int32_t x = 0; x < TEXTURE_SIZE; ++x) texels[y * TEXTURE_SIZE + x] = ((x ^ y) & 32) ? a : b;
  }
  TextureRef* ref = &scene->textures[scene->texture_count++];
  ref->id = RegisterTexture(TEXTURE_SIZE, TEXTURE_SIZE, 4, texels.data());
  return ref;
}

// Spheres on a grid that fills most of the frame, 16 to 22 units from the camera, each
// turned its own way. The scene time is 1, so every object is drawn.
inline void BuildSphereField(Scene* scene, const TestSceneShape& shape) {
  TextureRef* texture = AddCheckerTexture(scene, 0xFF3060C0, 0xFFE0C040);
  TextureRef* lightmap = shape.lightmap ? AddCheckerTexture(scene, 0xFF808080, 0xFF202020) : nullptr;
  for (int32_t row = 0; row < shape.rows; ++row) {
    for (int32_t column = 0; column < shape.columns; ++column) {
      Mesh* mesh = AddMesh(scene);
      CreateSphere(mesh, shape.radius, shape.slices);
      mesh->surface_textures[0] = texture;
      mesh->surface_count = mesh->surface_count > 0 ? mesh->surface_count : 1;
      mesh->lightmap = lightmap ? new TextureRef(*lightmap) : nullptr;
      mesh->env_map = shape.env_map;
      mesh->outline = shape.outline;
      SceneObject* object = AddObject(scene, mesh);
      object->position[0] = (column - (shape.columns - 1) * 0.5f) * 14.0f / shape.columns;
      object->position[1] = (row - (shape.rows - 1) * 0.5f) * 10.0f / shape.rows;
      object->position[2] = -(float)((row * 7 + column * 3) % 7);
      object->rotation[0] = 17.0f * column;
      object->rotation[1] = 29.0f * row;
      object->rotation[2] = 11.0f * (row + column);
    }
  }
  scene->time = 1.0f;
}

// Turns every object a little, as the motion update would between frames.
inline void TurnSphereField(Scene* scene, float degrees) {
  for (SceneObject* object = scene->objects; object; object = object->next) {
    object->rotation[0] += degrees;
    object->rotation[1] += 0.5f * degrees;
  }
}
