// A mesh vertex into a camera-space, projected corner: position and normal through the
// current matrix, the normal normalised, sphere-mapped and lightmap coordinates, the screen
// position. Everything of a corner except its own base texture coordinate.
#pragma once

#include <cstdint>

#include "render/render_context.h"

struct MeshVertex;

// What the vertices of the current mesh need to know, read once per mesh.
struct VertexSetup {
  int32_t texture_width, texture_height;  // 0 when the id names no texture
  int32_t lightmap_width, lightmap_height;
  bool envmap_base;    // sphere-mapped coordinates go to the base layer
  bool envmap_layer2;  // ... or to the lightmap layer
  bool lightmap;       // a lightmap id is bound (valid or not): u2, v2 are written
};

// One vertex. normal is scaled by 100 in place (the stored corner normal is replaced). u, v
// are set only when sphere mapping gives them, else 0; so is the normal, which nothing else reads.
void TransformVertex(const Matrix4& m, const VertexSetup& s, const double position[3], double normal[3], float lu,
                     float lv, RenderVertex* out);

// count vertices into out: two at a time in SSE2 where the machine has it, bit for bit the
// same as TransformVertex one at a time (TransformMeshVerticesScalar, kept for the tests).
void TransformMeshVertices(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                           RenderVertex* out);
void TransformMeshVerticesScalar(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                 RenderVertex* out);
