// Objects written by other tools, loaded as the demo would load them. Expected counts come
// from the files' own chunk sizes (points = PNTS size / 12; polygons from POLS).
#include <cmath>
#include <set>
#include <tuple>

#include "geometry_test_support.h"
#include "resource/data_archive.h"

namespace {

using geometry_test::Load;
using geometry_test::LoadedMesh;
using geometry_test::ReadWholeFile;
using geometry_test::TestDataPath;

bool LoadTestFile(LoadedMesh* m, const char* name) {
  const std::string path = TestDataPath(name);
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  if (!probe) return false;
  std::fclose(probe);
  Load(m, ReadWholeFile(path), name);
  return true;
}

#define LOAD_OR_SKIP(m, name) \
  if (!LoadTestFile(&m, name)) GTEST_SKIP() << name << " not in the test data"

void ExpectSoundMesh(const Mesh& mesh) {
  for (int t = 0; t < mesh.triangle_count; ++t) {
    const MeshTriangle& tri = mesh.triangles[t];
    for (int index : {tri.index0, tri.index1, tri.index2}) {
      ASSERT_GE(index, 0);
      ASSERT_LT(index, mesh.vertex_count);
    }
  }
  int listed = 0;
  for (int s = 0; s < mesh.surface_count; ++s) listed += mesh.surface_triangle_counts[s];
  EXPECT_LE(listed, mesh.triangle_count);
}

void ExpectUnitNormalsOnUsedVertices(const Mesh& mesh) {
  std::set<int> used;
  for (int t = 0; t < mesh.triangle_count; ++t) {
    used.insert({mesh.triangles[t].index0, mesh.triangles[t].index1, mesh.triangles[t].index2});
  }
  for (int v : used) {
    const MeshVertex& x = mesh.vertices[v];
    EXPECT_NEAR(std::sqrt(x.nx * x.nx + x.ny * x.ny + x.nz * x.nz), 1.0, 1e-5) << "vertex " << v;
  }
}

TEST(LwoTestData, BoxWithUvs) {
  LoadedMesh m;
  LOAD_OR_SKIP(m, "boxuv.lwo");
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 24);
  EXPECT_EQ(m.mesh.triangle_count, 12) << "six quads";
  EXPECT_EQ(m.mesh.surface_count, 1);
  EXPECT_EQ(m.mesh.surface_triangle_counts[0], 12);
  EXPECT_STREQ(m.mesh.surface_texture_names[0], "boxuv.png");
  ExpectSoundMesh(m.mesh);
  ExpectUnitNormalsOnUsedVertices(m.mesh);
  std::set<float> us;
  for (int t = 0; t < m.mesh.triangle_count; ++t) {
    const MeshTriangle& tri = m.mesh.triangles[t];
    for (float c : {tri.u0, tri.u1, tri.u2, tri.t0, tri.t1, tri.t2}) {
      EXPECT_GE(c, 0.0f);
      EXPECT_LE(c, 1.0f);
      us.insert(c);
    }
  }
  EXPECT_GT(us.size(), 4u) << "the UV map reaches the triangles";
}

TEST(LwoTestData, UvTestSixteenSurfaces) {
  LoadedMesh m;
  LOAD_OR_SKIP(m, "uvtest.lwo");
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 64);
  EXPECT_EQ(m.mesh.triangle_count, 32);
  EXPECT_EQ(m.mesh.surface_count, 16);
  int listed = 0;
  for (int s = 0; s < 16; ++s) {
    listed += m.mesh.surface_triangle_counts[s];
    EXPECT_STREQ(m.mesh.surface_texture_names[s], "uvtest.png") << "surface " << s;
  }
  EXPECT_EQ(listed, 32);
  ExpectSoundMesh(m.mesh);
}

TEST(LwoTestData, PentagonPrismNgons) {
  LoadedMesh m;
  LOAD_OR_SKIP(m, "box5-ngon.lwo");
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 10);
  EXPECT_EQ(m.mesh.triangle_count, 2 * 3 + 5 * 2) << "two pentagons and five quads";
  EXPECT_EQ(m.mesh.surface_count, 3);
  ExpectSoundMesh(m.mesh);
  ExpectUnitNormalsOnUsedVertices(m.mesh);
  // Surface colours from COLR: bottom-red is (1, 0, 0), top-blue (0, 0, 1).
  std::set<std::tuple<int, int, int>> colours;
  for (int t = 0; t < m.mesh.triangle_count; ++t) {
    colours.insert({m.mesh.triangles[t].r, m.mesh.triangles[t].g, m.mesh.triangles[t].b});
  }
  EXPECT_TRUE(colours.count({255, 0, 0}));
  EXPECT_TRUE(colours.count({0, 0, 255}));
}

TEST(LwoTestData, ConcaveSixtySixGon) {
  LoadedMesh m;
  LOAD_OR_SKIP(m, "concave_polygon.lwo");
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 64);
  ASSERT_EQ(m.mesh.triangle_count, 64) << "66 corners, 64 triangles";
  ExpectSoundMesh(m.mesh);
  // The polygon lies in the plane x = -1.146; its area (shoelace over the 66 corners in
  // y, z, the bridge to its hole counted twice and cancelling) must equal the triangles'.
  double triangles = 0;
  std::vector<double> areas;
  for (int t = 0; t < m.mesh.triangle_count; ++t) {
    const MeshTriangle& tri = m.mesh.triangles[t];
    const MeshVertex& a = m.mesh.vertices[tri.index0];
    const MeshVertex& b = m.mesh.vertices[tri.index1];
    const MeshVertex& c = m.mesh.vertices[tri.index2];
    EXPECT_EQ(a.x, b.x);
    const double area = 0.5 * ((double(b.y) - a.y) * (double(c.z) - a.z) - (double(c.y) - a.y) * (double(b.z) - a.z));
    triangles += area;
    areas.push_back(area);
  }
  for (size_t t = 0; t < areas.size(); ++t) {
    EXPECT_GE(areas[t] * (triangles < 0 ? -1 : 1), 0.0) << "triangle " << t << " turns against the polygon";
  }
  // The outline's own area, from the file's POLS order.
  const std::vector<uint8_t> file = ReadWholeFile(TestDataPath("concave_polygon.lwo"));
  const size_t pols = geometry_test::FindChunk(file, "POLS");
  const int corners = ((file[pols + 12] << 8) | file[pols + 13]) & 0x3FF;
  ASSERT_EQ(corners, 66);
  double outline = 0;
  for (int i = 0; i < corners; ++i) {
    auto index = [&](int k) { return (file[pols + 14 + 2 * k] << 8) | file[pols + 15 + 2 * k]; };
    const MeshVertex& p = m.mesh.vertices[index(i)];
    const MeshVertex& q = m.mesh.vertices[index((i + 1) % corners)];
    outline += 0.5 * (double(p.y) * q.z - double(q.y) * p.z);
  }
  EXPECT_NEAR(triangles, outline, 1e-4 * std::fabs(outline));
  EXPECT_GT(std::fabs(outline), 0.1);
}

TEST(LwoTestData, HierarchyLayersMerge) {
  LoadedMesh m;
  LOAD_OR_SKIP(m, "hierarchy.lwo");
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, (96 + 3192 + 96 + 96) / 12);
  EXPECT_EQ(m.mesh.surface_count, 3);
  ExpectSoundMesh(m.mesh);
  ExpectUnitNormalsOnUsedVertices(m.mesh);
  // The last layer's box uses the last eight points.
  const MeshTriangle& last = m.mesh.triangles[m.mesh.triangle_count - 1];
  EXPECT_GE(last.index0, m.mesh.vertex_count - 8);
  int listed = 0;
  for (int s = 0; s < 3; ++s) listed += m.mesh.surface_triangle_counts[s];
  EXPECT_EQ(listed, m.mesh.triangle_count) << "every layer's PTAG reaches its own polygons";
}

TEST(LwoTestData, SubdivisionPatchesAsPolygons) {
  LoadedMesh m;
  LOAD_OR_SKIP(m, "Subdivision.lwo");
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 26);
  EXPECT_EQ(m.mesh.triangle_count, 48) << "24 patch quads, read as their cage";
  ExpectSoundMesh(m.mesh);
  EXPECT_EQ(m.mesh.surface_triangle_counts[0], 48);
}

TEST(LwoTestData, ThroughLoadFile) {
  const std::string path = TestDataPath("boxuv.lwo");
  MemChunk chunk = LoadFile(path.c_str());
  if (chunk.size == 0) GTEST_SKIP() << "boxuv.lwo not in the test data";
  LoadedMesh m;
  m.result = LoadLwoMesh(&m.mesh, chunk);
  ASSERT_EQ(m.result, 1);
  EXPECT_EQ(m.mesh.triangle_count, 12);
  EXPECT_STREQ(m.mesh.surface_texture_names[0], "boxuv.png");
}

TEST(LwoTestData, EmptyFileIsCleanlyRefused) {
  LoadedMesh m;
  LOAD_OR_SKIP(m, "empty.lwo");
  EXPECT_EQ(m.result, 0);
  EXPECT_EQ(m.mesh.vertices, nullptr);
}

}  // namespace
