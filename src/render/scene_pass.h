// The scene render pass: objects into the pool, culling and depth keys, the back-to-front
// sort, clipping, fans, fills and outlines. There is no depth buffer: the sort is the only
// visibility rule.
#pragma once

#include <cstdint>

#include "render/clip.h"
#include "render/render_context.h"

struct Mesh;
struct MeshVertex;
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
  const Mesh* mesh = nullptr;                  // objects with this mesh are drawn
  const MeshVertex* drawn_vertices = nullptr;  // with these vertices instead of its own
};

// Draws one frame of the scene over whatever frame holds, as the override says when one is
// given; the frame is where the rasterizers and outlines write until the next call. The
// projection and the clip planes are those InitRenderer set for its frame's size: a frame of
// another size is drawn with them, cut to its own rows and columns.
void RenderScene(const FrameView& frame, const Scene* scene, const RenderOverride* override = nullptr);

// The three corners of pool triangle i, whole, as the clipper takes them.
void PooledCorners(int32_t i, RenderVertex corners[3]);
