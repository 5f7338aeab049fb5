#include "geometry/mesh_normals.h"

#include <algorithm>
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

bool KeyLess(const PositionKey& a, const PositionKey& b) {
  if (a.bits[0] != b.bits[0]) return a.bits[0] < b.bits[0];
  if (a.bits[1] != b.bits[1]) return a.bits[1] < b.bits[1];
  return a.bits[2] < b.bits[2];
}

bool KeyEqual(const PositionKey& a, const PositionKey& b) {
  return a.bits[0] == b.bits[0] && a.bits[1] == b.bits[1] && a.bits[2] == b.bits[2];
}

// Gives every vertex the number of its position's group (-1 for a NaN position); vertices
// at equal positions share a group. The vertices are sorted by the bits of their position
// rather than hashed: n log n whatever positions a file chooses, where a hash table can be
// filled into one slot on purpose and turn quadratic.
int32_t GroupVerticesByPosition(const Mesh* mesh, std::vector<int32_t>* group_of_vertex) {
  const int32_t n = mesh->vertex_count;
  struct Keyed {
    PositionKey key;
    int32_t vertex;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(static_cast<size_t>(n));
  group_of_vertex->assign(n, -1);
  for (int32_t i = 0; i < n; ++i) {
    Keyed k;
    k.vertex = i;
    if (MakeKey(mesh->vertices[i], &k.key)) keyed.push_back(k);
  }
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return KeyLess(a.key, b.key); });
  int32_t groups = 0;
  for (size_t i = 0; i < keyed.size(); ++i) {
    if (i > 0 && !KeyEqual(keyed[i].key, keyed[i - 1].key)) ++groups;
    (*group_of_vertex)[keyed[i].vertex] = groups;
  }
  return keyed.empty() ? 0 : groups + 1;
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
