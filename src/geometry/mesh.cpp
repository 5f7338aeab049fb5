#include "geometry/mesh.h"

MeshTriangle* AllocateMeshTriangles(int32_t count) {
  MeshTriangle* triangles = new MeshTriangle[count]();
  for (int32_t i = 0; i < count; ++i) {
    triangles[i].r = 255;
    triangles[i].g = 255;
    triangles[i].b = 255;
  }
  return triangles;
}

void FreeMeshArrays(Mesh* mesh) {
  delete[] mesh->triangles;
  delete[] mesh->vertices;
  if (mesh->morph_targets) {
    delete[] mesh->morph_targets[0];
    delete[] mesh->morph_targets[1];
    delete[] mesh->morph_targets;
  }
  for (int32_t i = 0; i < MESH_MAX_SURFACES; ++i) {
    delete[] mesh->surface_triangles[i];
    mesh->surface_triangles[i] = nullptr;
    mesh->surface_triangle_counts[i] = 0;
  }
  mesh->triangles = nullptr;
  mesh->vertices = nullptr;
  mesh->morph_targets = nullptr;
  mesh->vertex_count = 0;
  mesh->triangle_count = 0;
  mesh->morph_count = 0;
  mesh->surface_count = 0;
}
