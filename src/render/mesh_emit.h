// Meshes into the triangle pool: the immediate-mode corner interface, DrawMesh, and the
// perspective projection of a camera-space corner to the screen.
#pragma once

#include <cstdint>

#include "render/render_context.h"

struct Mesh;

void BindTexture(int32_t id);   // -1: none
void BindLightmap(int32_t id);  // -1: none
void BeginTriangles();
void EndTriangles();
void TexCoord(float u, float v);       // clamped to 0..1
void LightmapCoord(float u, float v);  // as given
void Normal(float x, float y, float z);
// Stores the corner; the third corner transforms all three by the current matrix and
// appends a triangle to the pool (dropped, and counted, when the pool is full).
void Vertex(float x, float y, float z);

// Feeds a mesh's triangles through the interface above with its texture, lightmap,
// environment mapping and outline flag.
void DrawMesh(const Mesh* mesh);

// sx, sy of a camera-space corner (z of exactly 0 projects as z = -1).
void ProjectVertex(RenderVertex* corner);
