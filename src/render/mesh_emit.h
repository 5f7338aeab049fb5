// Meshes into the triangle and vertex pools: the immediate-mode corner interface, DrawMesh,
// and the perspective projection of a camera-space point to the screen.
#pragma once

#include <cstdint>

#include "render/render_context.h"

struct Mesh;
struct MeshVertex;

void BindTexture(int32_t id);   // -1: none
void BindLightmap(int32_t id);  // -1: none
void BeginTriangles();
void EndTriangles();
void TexCoord(float u, float v);       // clamped to 0..1
void LightmapCoord(float u, float v);  // as given
void Normal(float x, float y, float z);
// Stores the corner; the third corner transforms all three by the current matrix into
// vertices of their own and appends a triangle to the pool (dropped, and counted, when the
// pool is full). A triangle that is not culled gets its sort row.
void Vertex(float x, float y, float z);

// A mesh's triangles with its texture, lightmap, environment mapping and outline flag, as the
// interface above would emit them corner by corner, bit for bit. Each vertex of the mesh is
// transformed once into the vertex pool and its triangles point at them; a mesh whose
// vertices would crowd out the triangles still to come brings three corners per triangle.
// With vertices given, they are drawn instead of the mesh's own (as many, in the same order):
// another pose of the same mesh.
void DrawMesh(const Mesh* mesh, const MeshVertex* vertices = nullptr);

// Empties both pools and the rows: the start of every frame.
void ClearTrianglePool();
