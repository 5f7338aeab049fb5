#include "scene/sphere.h"

#include <cmath>
#include <cstdio>

namespace {

// 2 pi and pi / 2 to seven significant digits: the sphere's rings sit where these put them.
constexpr double FULL_TURN = 6.283185;
constexpr double QUARTER_TURN = 1.570796;

struct SphereCorner {
  float u, v;
};

void SetSphereVertex(MeshVertex* vertex, SphereCorner* corner, double radius, int32_t ring, int32_t column,
                     int32_t slices) {
  const double latitude = ring * FULL_TURN / slices - QUARTER_TURN;
  const double longitude = column * FULL_TURN / slices;
  const double nx = std::cos(latitude) * std::cos(longitude);
  const double ny = std::sin(latitude);
  const double nz = std::cos(latitude) * std::sin(longitude);
  vertex->x = static_cast<float>(radius * nx);
  vertex->y = static_cast<float>(radius * ny);
  vertex->z = static_cast<float>(radius * nz);
  vertex->nx = static_cast<float>(nx);
  vertex->ny = static_cast<float>(ny);
  vertex->nz = static_cast<float>(nz);
  corner->u = static_cast<float>(column) / static_cast<float>(slices);
  corner->v = static_cast<float>(2 * ring) / static_cast<float>(slices);
}

void SetSphereTriangle(MeshTriangle* t, const SphereCorner* corners, int32_t a, int32_t b, int32_t c) {
  t->index0 = static_cast<int16_t>(a);
  t->index1 = static_cast<int16_t>(b);
  t->index2 = static_cast<int16_t>(c);
  t->u0 = corners[a].u;
  t->u1 = corners[b].u;
  t->u2 = corners[c].u;
  t->t0 = corners[a].v;
  t->t1 = corners[b].v;
  t->t2 = corners[c].v;
}

}  // namespace

int CreateSphere(Mesh* mesh, double radius, int32_t slices) {
  if (slices > SPHERE_MAX_SLICES) {
    std::fprintf(stderr, "CreateSphere: %d slices give more vertices than a mesh can index (at most %d slices)\n", slices,
                SPHERE_MAX_SLICES);
    return 0;
  }
  const int32_t rings = slices / 2;
  const int32_t band_vertices = 2 * (slices + 1);
  mesh->vertex_count = band_vertices * rings;
  mesh->triangle_count = 2 * slices * rings;
  mesh->morph_count = 1;
  mesh->surface_count = 1;
  mesh->surface_triangle_counts[0] = 0;
  mesh->vertices = new MeshVertex[mesh->vertex_count]();
  mesh->triangles = AllocateMeshTriangles(mesh->triangle_count);
  SphereCorner* corners = new SphereCorner[mesh->vertex_count];
  MeshTriangle* triangle = mesh->triangles;
  for (int32_t band = 0; band < rings; ++band) {
    const int32_t first = band * band_vertices;
    for (int32_t column = 0; column <= slices; ++column) {
      const int32_t upper = first + 2 * column;  // A_column; B_column follows it
      SetSphereVertex(&mesh->vertices[upper], &corners[upper], radius, band + 1, column, slices);
      SetSphereVertex(&mesh->vertices[upper + 1], &corners[upper + 1], radius, band, column, slices);
    }
    for (int32_t column = 1; column <= slices; ++column) {
      const int32_t a = first + 2 * column, b = a + 1;
      const int32_t a_before = a - 2, b_before = b - 2;
      SetSphereTriangle(triangle++, corners, a, b_before, a_before);
      SetSphereTriangle(triangle++, corners, b_before, a, b);
    }
  }
  delete[] corners;
  return 1;
}
