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

// The depth key of a triangle from its three camera depths: larger is farther. Mean depths
// past about 508 clamp at 65535 instead of wrapping round to near keys.
uint32_t DepthKey(double z0, double z1, double z2);

// The pass's verdict on the triangle of three pool vertices: its depth key when the corners
// run clockwise on the screen (y down) or are collinear, no corner is behind the eye, and at
// least one corner lies on the screen, with KEY_INSIDE_PLANES when no clipping is needed;
// CULLED_TRIANGLE otherwise. Read off the vertices' positions and flags.
uint32_t TriangleKey(const ScreenVertex* screen, const CameraVertex* camera, const int32_t vertex[3]);

// The three corners of pool triangle i, whole, as the clipper takes them.
void PooledCorners(int32_t i, RenderVertex corners[3]);
