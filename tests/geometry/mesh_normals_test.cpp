// The grouped vertex normals against the naive all-pairs form, bit for bit, and the normal
// rules themselves.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "geometry/mesh.h"
#include "geometry/mesh_normals.h"

namespace {

struct TestMesh {
  Mesh mesh{};
  TestMesh(int32_t vertices, int32_t triangles) {
    mesh.vertex_count = vertices;
    mesh.triangle_count = triangles;
    mesh.vertices = new MeshVertex[vertices]();
    mesh.triangles = AllocateMeshTriangles(triangles);
  }
  ~TestMesh() { FreeMeshArrays(&mesh); }
};

// Positions drawn from a few values, so many vertices share a position; -0 and +0 both
// appear, and a few positions hold NaN.
void FillRandom(TestMesh* m, uint32_t seed, bool with_nan) {
  std::mt19937 random(seed);
  const float values[] = {0.0f, -0.0f, 1.0f, -1.5f, 2.25f, 3.0e-3f, 7.0f};
  std::uniform_int_distribution<int> pick(0, 6);
  for (int32_t i = 0; i < m->mesh.vertex_count; ++i) {
    MeshVertex& v = m->mesh.vertices[i];
    v.x = values[pick(random)];
    v.y = values[pick(random)];
    v.z = values[pick(random)];
    if (with_nan && i % 17 == 5) v.y = std::numeric_limits<float>::quiet_NaN();
  }
  std::uniform_int_distribution<int> vertex(0, m->mesh.vertex_count - 1);
  for (int32_t t = 0; t < m->mesh.triangle_count; ++t) {
    m->mesh.triangles[t].index0 = int16_t(vertex(random));
    m->mesh.triangles[t].index1 = int16_t(vertex(random));
    m->mesh.triangles[t].index2 = int16_t(vertex(random));
  }
}

void ExpectSameBits(TestMesh* a, TestMesh* b) {
  ASSERT_EQ(std::memcmp(a->mesh.vertices, b->mesh.vertices, sizeof(MeshVertex) * a->mesh.vertex_count), 0);
  ASSERT_EQ(std::memcmp(a->mesh.triangles, b->mesh.triangles, sizeof(MeshTriangle) * a->mesh.triangle_count), 0);
}

TEST(MeshNormals, HashedMatchesNaiveBitForBit) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    const int32_t vertices = 20 + int32_t(seed * 37 % 400);
    const int32_t triangles = 10 + int32_t(seed * 53 % 700);
    TestMesh a(vertices, triangles), b(vertices, triangles);
    FillRandom(&a, seed, seed % 3 == 0);
    FillRandom(&b, seed, seed % 3 == 0);
    ComputeMeshNormals(&a.mesh);
    ComputeMeshNormalsNaive(&b.mesh);
    SCOPED_TRACE(seed);
    ExpectSameBits(&a, &b);
  }
}

TEST(MeshNormals, HashedMatchesNaiveOnAGrid) {
  // A bumpy grid with a seam: every second row is duplicated, as a UV seam splits points.
  const int n = 40;
  TestMesh a(n * n * 2, (n - 1) * (n - 1) * 2), b(n * n * 2, (n - 1) * (n - 1) * 2);
  for (TestMesh* m : {&a, &b}) {
    for (int i = 0; i < n * n; ++i) {
      MeshVertex& v = m->mesh.vertices[i];
      v.x = float(i % n) * 0.1f;
      v.z = float(i / n) * 0.1f;
      v.y = std::sin(v.x * 3.0f) * std::cos(v.z * 2.0f);
      m->mesh.vertices[n * n + i] = v;
    }
    int t = 0;
    for (int r = 0; r + 1 < n; ++r) {
      for (int c = 0; c + 1 < n; ++c) {
        const int base = (r % 2) ? n * n : 0;  // odd rows use the copies
        const int i = base + r * n + c;
        m->mesh.triangles[t].index0 = int16_t(i);
        m->mesh.triangles[t].index1 = int16_t(i + 1);
        m->mesh.triangles[t++].index2 = int16_t(r * n + c + n);
        m->mesh.triangles[t].index0 = int16_t(i + 1);
        m->mesh.triangles[t].index1 = int16_t(r * n + c + n + 1);
        m->mesh.triangles[t++].index2 = int16_t(r * n + c + n);
      }
    }
  }
  ComputeMeshNormals(&a.mesh);
  ComputeMeshNormalsNaive(&b.mesh);
  ExpectSameBits(&a, &b);
  // A point and its copy have the same normal.
  EXPECT_EQ(a.mesh.vertices[n + 3].nx, a.mesh.vertices[n * n + n + 3].nx);
  EXPECT_EQ(a.mesh.vertices[n + 3].ny, a.mesh.vertices[n * n + n + 3].ny);
}

TEST(MeshNormals, FaceNormalIsPMinusQCrossQMinusR) {
  TestMesh m(3, 1);
  m.mesh.vertices[1].x = 2.0f;  // P = 0, Q = (2, 0, 0), R = (0, 3, 0)
  m.mesh.vertices[2].y = 3.0f;
  m.mesh.triangles[0].index1 = 1;
  m.mesh.triangles[0].index2 = 2;
  ComputeMeshNormals(&m.mesh);
  // (P - Q) x (Q - R) = (-2, 0, 0) x (2, -3, 0) = (0, 0, 6): not normalised.
  EXPECT_EQ(m.mesh.triangles[0].nx, 0.0f);
  EXPECT_EQ(m.mesh.triangles[0].ny, 0.0f);
  EXPECT_EQ(m.mesh.triangles[0].nz, 6.0f);
  EXPECT_EQ(m.mesh.vertices[0].nz, 1.0f) << "vertex normals are unit length";
}

TEST(MeshNormals, NegativeZeroMatchesPositiveZero) {
  TestMesh m(4, 1);
  m.mesh.vertices[1].x = 1.0f;
  m.mesh.vertices[2].y = 1.0f;
  m.mesh.vertices[3].x = -0.0f;  // the same position as vertex 0 for float equality
  m.mesh.vertices[3].z = -0.0f;
  m.mesh.triangles[0].index1 = 1;
  m.mesh.triangles[0].index2 = 2;
  ComputeMeshNormals(&m.mesh);
  EXPECT_EQ(m.mesh.vertices[3].nz, m.mesh.vertices[0].nz);
  EXPECT_NE(m.mesh.vertices[3].nz, 0.0f);
}

TEST(MeshNormals, DegenerateTriangleLeavesAZeroNormal) {
  TestMesh a(3, 1), b(3, 1);
  for (TestMesh* m : {&a, &b}) {
    m->mesh.triangles[0].index1 = 1;
    m->mesh.triangles[0].index2 = 2;  // all three at the origin
  }
  ComputeMeshNormals(&a.mesh);
  ComputeMeshNormalsNaive(&b.mesh);
  ExpectSameBits(&a, &b);
  EXPECT_EQ(a.mesh.vertices[0].nx, 0.0f);
  EXPECT_FALSE(std::isnan(a.mesh.vertices[0].ny));
}

}  // namespace
