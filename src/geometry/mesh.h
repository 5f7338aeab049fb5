// The mesh: what the renderer draws for one object. Meshes are built by the LWO2 loader
// (lwo_mesh.h) or the sphere generator (scene/sphere.h) into a zero-filled record that the
// scene has already put in its mesh list; the mesh owns its arrays.
#pragma once

#include <cstdint>

struct TextureRef;

constexpr int32_t MESH_MAX_SURFACES = 20;
constexpr int32_t MESH_NAME_SIZE = 24;
constexpr int32_t MESH_TEXTURE_NAME_SIZE = 20;
// Triangle corners are int16, so a mesh holds at most this many vertices.
constexpr int32_t MESH_MAX_VERTICES = 32768;

struct MeshVertex {
  float x, y, z;     // position; y is the file's y negated
  float nx, ny, nz;  // unit vertex normal, smoothed over every corner at the same position
  float lu, lv;      // lightmap coordinates (0, 0 unless a "Lightmap..." UV map names the vertex)
};

struct MeshTriangle {
  int16_t index0, index1, index2;  // vertices of corners 0, 1, 2
  float u0, u1, u2;                // texture u per corner
  float t0, t1, t2;                // texture v per corner, already flipped as 1 - v
  uint8_t r, g, b;                 // surface colour; 255, 255, 255 when the triangle has none
  float nx, ny, nz;                // face normal, not normalised
};

struct Mesh {
  int32_t vertex_count;
  int32_t triangle_count;
  int32_t morph_count;    // 1 once loaded; 2 when a morph target is loaded (morph_target.h)
  int32_t surface_count;  // at most MESH_MAX_SURFACES
  char name[MESH_NAME_SIZE];
  int32_t unused[2];
  MeshTriangle* triangles;
  MeshVertex** morph_targets;  // null, or two arrays: the base shape and the target positions
  MeshVertex* vertices;        // the positions that are drawn
  int32_t* surface_triangles[MESH_MAX_SURFACES];  // per surface: its triangles, ascending
  int32_t surface_triangle_counts[MESH_MAX_SURFACES];
  TextureRef* surface_textures[MESH_MAX_SURFACES];  // bound by the scene loader by name
  char surface_texture_names[MESH_MAX_SURFACES][MESH_TEXTURE_NAME_SIZE];
  TextureRef* lightmap;
  Mesh* next;
  Mesh* prev;
  int32_t env_map;
  int32_t outline;
};

// count triangles, colour 255, 255, 255 and every other field 0.
MeshTriangle* AllocateMeshTriangles(int32_t count);

// Frees the arrays the mesh owns (triangles, vertices, morph targets, surface lists) and
// zeroes their fields and counts. Name, links, textures, lightmap and flags are left alone:
// they belong to the scene.
void FreeMeshArrays(Mesh* mesh);
