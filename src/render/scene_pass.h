// The scene render pass: objects into the pool, culling and depth keys, the back-to-front
// sort, clipping, fans, fills and outlines. There is no depth buffer: the sort is the only
// visibility rule.
#pragma once

#include <cstdint>

#include "render/clip.h"
#include "render/render_context.h"

struct Mesh;
struct Scene;
struct SceneObject;

constexpr int32_t RENDER_OVERRIDE_OBJECTS = 3;

// What one render shows other than as the scene's records say, leaving the records as they
// are: some objects shown or hidden, and the objects of one mesh drawn with another record
// (other vertices) in its place. A part that draws its scene twice in a frame in two poses
// says the second this way instead of changing its scene between the renders.
struct RenderOverride {
  const SceneObject* objects[RENDER_OVERRIDE_OBJECTS] = {};
  int32_t hidden[RENDER_OVERRIDE_OBJECTS] = {};
  int32_t count = 0;
  const Mesh* mesh = nullptr;
  const Mesh* drawn_as = nullptr;
};

// Draws one frame of the scene over whatever the frame holds, as the override says when
// one is given.
void RenderScene(const Scene* scene, const RenderOverride* override = nullptr);

// The three corners of pool triangle i, whole, as the clipper takes them.
void PooledCorners(int32_t i, RenderVertex corners[3]);
