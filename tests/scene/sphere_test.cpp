// The <CreateSphere> mesh: counts, vertex order, texture coordinates, open top for odd
// slices.
#include "scene/sphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

struct Sphere {
  Mesh mesh{};
  int result;
  Sphere(double radius, int32_t slices) { result = CreateSphere(&mesh, radius, slices); }
  ~Sphere() { FreeMeshArrays(&mesh); }
};

TEST(Sphere, FourSlices) {
  Sphere s(1.0, 4);
  ASSERT_EQ(s.result, 1);
  EXPECT_EQ(s.mesh.vertex_count, 20);
  EXPECT_EQ(s.mesh.triangle_count, 16);
  EXPECT_EQ(s.mesh.morph_count, 1);
  EXPECT_EQ(s.mesh.surface_count, 1);
  EXPECT_EQ(s.mesh.surface_triangle_counts[0], 0);
  const MeshVertex& upper = s.mesh.vertices[0];
  EXPECT_NEAR(upper.x, 1.0, 1e-6);
  EXPECT_NEAR(upper.y, 0.0, 1e-6);
  EXPECT_NEAR(upper.z, 0.0, 1e-6);
  const MeshVertex& pole = s.mesh.vertices[1];
  EXPECT_NEAR(pole.x, 0.0, 1e-6);
  EXPECT_NEAR(pole.y, -1.0, 1e-6);
  EXPECT_NEAR(pole.z, 0.0, 1e-6);
  // Triangle 0 of band 0 is (A1, B0, A0) = vertices 2, 1, 0.
  const MeshTriangle& t = s.mesh.triangles[0];
  EXPECT_EQ(t.index0, 2);
  EXPECT_EQ(t.index1, 1);
  EXPECT_EQ(t.index2, 0);
  EXPECT_EQ(t.u2, 0.0f);
  EXPECT_EQ(t.t2, 0.5f) << "A0 is on ring 1";
  EXPECT_EQ(t.u1, 0.0f);
  EXPECT_EQ(t.t1, 0.0f) << "B0 is the bottom pole";
  EXPECT_EQ(t.u0, 0.25f);
  // Triangle 1 is (B0, A1, B1).
  EXPECT_EQ(s.mesh.triangles[1].index0, 1);
  EXPECT_EQ(s.mesh.triangles[1].index1, 2);
  EXPECT_EQ(s.mesh.triangles[1].index2, 3);
  EXPECT_EQ(t.r, 255);
  EXPECT_EQ(t.nx, 0.0f) << "face normals are left 0";
}

TEST(Sphere, EvenSlicesCloseTheTop) {
  Sphere s(2.0, 4);
  float top = -10;
  for (int i = 0; i < s.mesh.vertex_count; ++i) top = std::max(top, s.mesh.vertices[i].y);
  EXPECT_NEAR(top, 2.0, 1e-5);
}

TEST(Sphere, OddSlicesLeaveAnOpening) {
  Sphere s(1.0, 5);
  EXPECT_EQ(s.mesh.vertex_count, 2 * 6 * 2);
  EXPECT_EQ(s.mesh.triangle_count, 2 * 5 * 2);
  float top = -10;
  for (int i = 0; i < s.mesh.vertex_count; ++i) top = std::max(top, s.mesh.vertices[i].y);
  EXPECT_NEAR(top, std::sin(54.0 * M_PI / 180.0), 1e-5) << "the top ring is at 54 degrees";
}

TEST(Sphere, LastColumnRepeatsTheFirstWithUOne) {
  Sphere s(1.5, 6);
  const int band_vertices = 2 * 7;
  for (int band = 0; band < 3; ++band) {
    const MeshVertex& first = s.mesh.vertices[band * band_vertices];
    const MeshVertex& last = s.mesh.vertices[band * band_vertices + 2 * 6];
    EXPECT_NEAR(first.x, last.x, 1e-5);
    EXPECT_NEAR(first.y, last.y, 1e-5);
    EXPECT_NEAR(first.z, last.z, 1e-5);
  }
  // The last triangle pair of band 0 reaches column 6: u of its A corner is 1.
  const MeshTriangle& t = s.mesh.triangles[2 * 6 - 2];
  EXPECT_EQ(t.index0, 12);
  EXPECT_EQ(t.u0, 1.0f);
}

TEST(Sphere, NormalsAreUnitAndPointOutward) {
  Sphere s(3.0, 8);
  for (int i = 0; i < s.mesh.vertex_count; ++i) {
    const MeshVertex& v = s.mesh.vertices[i];
    EXPECT_NEAR(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz, 1.0, 1e-5);
    EXPECT_NEAR(v.x, 3.0 * v.nx, 1e-5);
    EXPECT_EQ(v.lu, 0.0f);
  }
}

TEST(Sphere, TooManySlicesAreRefused) {
  Sphere fits(1.0, SPHERE_MAX_SLICES);
  EXPECT_EQ(fits.result, 1);
  EXPECT_LE(fits.mesh.vertex_count, MESH_MAX_VERTICES);
  testing::internal::CaptureStderr();
  Sphere big(1.0, SPHERE_MAX_SLICES + 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("CreateSphere"), std::string::npos);
  EXPECT_EQ(big.result, 0);
  EXPECT_EQ(big.mesh.vertices, nullptr);
}

}  // namespace
