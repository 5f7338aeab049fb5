// A mesh vertex into a pool vertex: position and normal through the current matrix, the
// normal normalised, sphere-mapped and lightmap coordinates, the screen position, and the
// flags that let a triangle's cull and clip verdict be read off its three vertices.
#pragma once

#include <cstdint>

#include "render/clip.h"
#include "render/render_context.h"

struct MeshVertex;

// What the vertices of the current mesh need to know, read once per mesh.
struct VertexSetup {
  int32_t texture_width, texture_height;  // 0 when the id names no texture
  int32_t lightmap_width, lightmap_height;
  bool envmap_base;    // sphere-mapped coordinates go to the base layer
  bool envmap_layer2;  // ... or to the lightmap layer
  bool lightmap;       // a lightmap id is bound (valid or not): u2, v2 are written
  // For VERTEX_INSIDE_PLANES: the rectangle when it is valid, else the planes themselves.
  InsideRectangle inside;
  ClipPlaneLanes planes;
  float right, bottom;  // the frame's last column and row, for VERTEX_ON_SCREEN
};

// One vertex. normal is scaled by 100 in place (the stored corner normal is replaced). Only
// sphere mapping reads the normal, so without it the normal is not transformed at all.
void TransformVertex(const Matrix4& m, const VertexSetup& s, const double position[3], double normal[3], float lu,
                     float lv, ScreenVertex* screen, CameraVertex* camera);

// count vertices into screen[0 .. count) and camera[0 .. count): four at a time in AVX where
// the processor has it, then two at a time in SSE2, bit for bit the same as TransformVertex
// one at a time.
void TransformMeshVertices(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                           ScreenVertex* screen, CameraVertex* camera);

// The forms TransformMeshVertices is made of, each on its own for the tests: one at a time;
// two at a time in SSE2 (one at a time without it); four at a time in AVX, which returns how
// many it did (a multiple of four, and 0 where the processor has no AVX).
void TransformMeshVerticesScalar(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                 ScreenVertex* screen, CameraVertex* camera);
void TransformMeshVerticesPairs(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                ScreenVertex* screen, CameraVertex* camera);
int32_t TransformMeshVerticesQuads(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                   ScreenVertex* screen, CameraVertex* camera);

// The VERTEX_* flags of a transformed, projected point. VERTEX_INSIDE_PLANES is decided in
// the screen rectangle where it can be (leaving out points a hair inside the planes, whose
// triangles then go through the clipper unchanged), else by the plane tests.
uint32_t VertexFlags(const VertexSetup& s, double x, double y, double z, float sx, float sy);
