#include "geometry/mesh_normals.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

void ComputeFaceNormals(Mesh* mesh) {
  const MeshVertex* v = mesh->vertices;
  for (int32_t i = 0; i < mesh->triangle_count; ++i) {
    MeshTriangle* t = &mesh->triangles[i];
    const MeshVertex& p = v[t->index0];
    const MeshVertex& q = v[t->index1];
    const MeshVertex& r = v[t->index2];
    t->nx = (p.y - q.y) * (q.z - r.z) - (q.y - r.y) * (p.z - q.z);
    t->ny = (q.x - r.x) * (p.z - q.z) - (p.x - q.x) * (q.z - r.z);
    t->nz = (p.x - q.x) * (q.y - r.y) - (q.x - r.x) * (p.y - q.y);
  }
}

struct NormalSum {
  float x, y, z;
  int32_t count;
};

void AddFaceNormal(NormalSum* sum, const MeshTriangle& t) {
  sum->x += t.nx;
  sum->y += t.ny;
  sum->z += t.nz;
  sum->count += 1;
}

// Both forms end here, so they round alike.
void FinishVertexNormal(MeshVertex* vertex, const NormalSum& sum) {
  if (sum.count == 0) {
    vertex->nx = vertex->ny = vertex->nz = 0.0f;
    return;
  }
  const float scale = 1.0f / static_cast<float>(sum.count);
  float x = sum.x * scale;
  float y = sum.y * scale;
  float z = sum.z * scale;
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length != 0.0f) {
    x /= length;
    y /= length;
    z /= length;
  }
  vertex->nx = x;
  vertex->ny = y;
  vertex->nz = z;
}

int32_t CornerIndex(const MeshTriangle& t, int corner) {
  return corner == 0 ? t.index0 : corner == 1 ? t.index1 : t.index2;
}

// A position as hash key. Float equality makes -0 equal to +0 and NaN equal to nothing:
// the key folds the zeros together, and NaN positions get no group at all.
struct PositionKey {
  uint32_t bits[3];
};

bool MakeKey(const MeshVertex& v, PositionKey* key) {
  const float xyz[3] = {v.x, v.y, v.z};
  for (int i = 0; i < 3; ++i) {
    if (std::isnan(xyz[i])) return false;
    const float value = xyz[i] == 0.0f ? 0.0f : xyz[i];
    std::memcpy(&key->bits[i], &value, sizeof value);
  }
  return true;
}

uint32_t HashKey(const PositionKey& key) {
  uint32_t h = 2166136261u;
  for (uint32_t b : key.bits) {
    h ^= b;
    h *= 16777619u;
    h ^= h >> 15;
  }
  return h;
}

// Gives every vertex the number of its position's group (-1 for a NaN position); vertices
// at equal positions share a group. Open addressing over a power-of-two table.
int32_t GroupVerticesByPosition(const Mesh* mesh, std::vector<int32_t>* group_of_vertex) {
  const int32_t n = mesh->vertex_count;
  size_t capacity = 16;
  while (capacity < static_cast<size_t>(n) * 2) capacity *= 2;
  std::vector<int32_t> slots(capacity, -1);  // a representative vertex per group
  std::vector<int32_t> group_of_slot(capacity, -1);
  group_of_vertex->assign(n, -1);
  int32_t groups = 0;
  for (int32_t i = 0; i < n; ++i) {
    PositionKey key;
    if (!MakeKey(mesh->vertices[i], &key)) continue;
    size_t slot = HashKey(key) & (capacity - 1);
    while (slots[slot] >= 0) {
      const MeshVertex& other = mesh->vertices[slots[slot]];
      const MeshVertex& self = mesh->vertices[i];
      if (other.x == self.x && other.y == self.y && other.z == self.z) break;
      slot = (slot + 1) & (capacity - 1);
    }
    if (slots[slot] < 0) {
      slots[slot] = i;
      group_of_slot[slot] = groups++;
    }
    (*group_of_vertex)[i] = group_of_slot[slot];
  }
  return groups;
}

}  // namespace

void ComputeMeshNormals(Mesh* mesh) {
  ComputeFaceNormals(mesh);
  std::vector<int32_t> group_of_vertex;
  const int32_t groups = GroupVerticesByPosition(mesh, &group_of_vertex);
  std::vector<NormalSum> sums(groups, NormalSum{0.0f, 0.0f, 0.0f, 0});
  // Triangle by triangle, corner by corner: each group's sum adds the same face normals
  // in the same order as the naive form's sum for any vertex of the group.
  for (int32_t i = 0; i < mesh->triangle_count; ++i) {
    const MeshTriangle& t = mesh->triangles[i];
    for (int corner = 0; corner < 3; ++corner) {
      const int32_t group = group_of_vertex[CornerIndex(t, corner)];
      if (group >= 0) AddFaceNormal(&sums[group], t);
    }
  }
  const NormalSum none{0.0f, 0.0f, 0.0f, 0};
  for (int32_t j = 0; j < mesh->vertex_count; ++j) {
    const int32_t group = group_of_vertex[j];
    FinishVertexNormal(&mesh->vertices[j], group >= 0 ? sums[group] : none);
  }
}

void ComputeMeshNormalsNaive(Mesh* mesh) {
  ComputeFaceNormals(mesh);
  for (int32_t j = 0; j < mesh->vertex_count; ++j) {
    const MeshVertex& v = mesh->vertices[j];
    NormalSum sum{0.0f, 0.0f, 0.0f, 0};
    for (int32_t i = 0; i < mesh->triangle_count; ++i) {
      const MeshTriangle& t = mesh->triangles[i];
      for (int corner = 0; corner < 3; ++corner) {
        const MeshVertex& c = mesh->vertices[CornerIndex(t, corner)];
        if (c.x == v.x && c.y == v.y && c.z == v.z) AddFaceNormal(&sum, t);
      }
    }
    FinishVertexNormal(&mesh->vertices[j], sum);
  }
}
