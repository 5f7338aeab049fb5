// Damage the reader steps over: each case was refused as a whole file before, and is read
// now with a warning that says what was skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "geometry/lwo_object.h"
#include "geometry/lwo_triangulate.h"
#include "geometry/mesh_normals.h"
#include "geometry_test_support.h"

namespace {

using geometry_test::Load;
using geometry_test::LoadedMesh;
using geometry_test::TwoTriangleObject;

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

struct Damage {
  const char* name;
  bool leading;          // before everything else in the FORM, or after it
  const char* chunk;
  std::string data;
  const char* warning;   // what the warning must say
};

TEST(LwoLeniency, DamageIsSkippedWithAWarning) {
  const std::string colr = std::string("COLR\0\x0e", 6) + std::string(12, '\0') + std::string("\0\0", 2);
  const std::string stil = std::string("STIL\0\x0a", 6) + std::string("x/a.png\0\0\0", 10);
  const Damage cases[] = {
      {"points and 5 bytes", true, "PNTS", std::string(36 + 5, '\0'), "not a multiple of 12"},
      {"tags before polygons", true, "PTAG", std::string("SURF\0\0\0\0", 8), "before any polygons"},
      {"tag index past the strings", false, "PTAG", std::string("SURF\0\0\0\x63", 8), "tag index 99 out of range"},
      {"stray bytes after a surface", false, "SURF", std::string("Extra\0\0\0", 8) + colr + "abc", "3 stray bytes"},
      {"stray bytes after a clip", false, "CLIP", std::string("\0\0\0\x02", 4) + stil + "ab", "2 stray bytes"},
  };
  for (const Damage& d : cases) {
    LwoWriter writer = TwoTriangleObject();
    AddLwoRawChunk(d.leading ? &writer.leading_chunks : &writer.trailing_chunks, d.chunk, Bytes(d.data));
    const std::vector<uint8_t> bytes = WriteLwo(writer);
    LwoObject object{};
    EXPECT_EQ(ReadLwoFile(&object, bytes.data(), int32_t(bytes.size()), "damaged.lwo"), 1) << d.name << object.error;
    ASSERT_EQ(object.warnings.size(), 1u) << d.name;
    EXPECT_NE(object.warnings[0].find(d.warning), std::string::npos) << d.name << ": " << object.warnings[0];
    EXPECT_EQ(object.warnings[0].rfind("damaged.lwo: ", 0), 0u) << object.warnings[0];
    FreeLwoObject(&object);
    LoadedMesh m;
    Load(&m, bytes);
    EXPECT_EQ(m.result, 1) << d.name << m.console;
    EXPECT_EQ(m.mesh.surface_triangle_counts[0], 1) << d.name << ": the object's own tags still count";
  }
}

// A fuzzer's file: 1,200 convex 1023-gons took 5 s in the ear search. Convex polygons are
// fanned for n tests each, so the work stays linear in the file.
TEST(LwoLeniency, ConvexPolygonsOfManyCornersCostLinearWork) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "disc");
  std::vector<int32_t> ring;
  for (int i = 0; i < 1023; ++i) {
    const double a = 2 * M_PI * i / 1023;
    ring.push_back(AddLwoPoint(layer, float(std::cos(a)), float(std::sin(a)), 0.0f));
  }
  for (int p = 0; p < 40; ++p) AddLwoPolygon(layer, ring, "");
  const std::vector<uint8_t> bytes = WriteLwo(writer);
  LwoObject object{};
  ASSERT_EQ(ReadLwoFile(&object, bytes.data(), int32_t(bytes.size()), "discs.lwo"), 1) << object.error;
  EXPECT_EQ(object.total_polygon_count, 40 * 1021);
  EXPECT_EQ(object.fanned_polygons, 0);
  // 40 polygons of 1023 corners: a test per corner, less the credit each corner earns.
  EXPECT_LE(object.triangulation_work + TRIANGULATION_WORK_PER_CORNER * 40 * 1023, 40 * 1023);
  FreeLwoObject(&object);
}

// A fuzzer's mesh: 32,768 points chosen to share one slot of the old position hash made
// the grouping quadratic. Grouping sorts now; the normals must still be the naive ones.
TEST(LwoLeniency, ManyPositionsWithSharedLowBitsGroupLikeTheNaiveNormals) {
  Mesh hashed{}, naive{};
  const int32_t n = 3 * 2048;
  for (Mesh* mesh : {&hashed, &naive}) {
    mesh->vertex_count = n;
    mesh->triangle_count = n / 3;
    mesh->vertices = new MeshVertex[n]();
    mesh->triangles = AllocateMeshTriangles(n / 3);
    for (int32_t i = 0; i < n; ++i) {
      // Positions alike in their low bits, every fourth one repeated.
      const int32_t k = i % 4 == 3 ? i - 1 : i;
      mesh->vertices[i].x = float(k << 12);
      mesh->vertices[i].y = float(-(k % 7) << 20);
      mesh->vertices[i].z = float(k % 3);
    }
    for (int32_t t = 0; t < n / 3; ++t) {
      mesh->triangles[t].index0 = int16_t(3 * t);
      mesh->triangles[t].index1 = int16_t(3 * t + 1);
      mesh->triangles[t].index2 = int16_t(3 * t + 2);
    }
  }
  ComputeMeshNormals(&hashed);
  ComputeMeshNormalsNaive(&naive);
  for (int32_t i = 0; i < n; ++i) {
    ASSERT_EQ(std::memcmp(&hashed.vertices[i].nx, &naive.vertices[i].nx, 3 * sizeof(float)), 0) << i;
  }
  FreeMeshArrays(&hashed);
  FreeMeshArrays(&naive);
}

}  // namespace
