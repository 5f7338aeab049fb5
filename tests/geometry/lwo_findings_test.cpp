// Objects a fuzzer made to cost far more than their size: work that grew with the square
// of a polygon's corners or of the points' count. Both stay bounded now.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/lwo_object.h"
#include "geometry/lwo_triangulate.h"
#include "geometry/mesh_normals.h"
#include "geometry_test_support.h"

namespace {

// A fuzzer's file: 1,200 convex 1023-gons took 5 s in the ear search. Convex polygons are
// fanned for n tests each, so the work stays linear in the file.
TEST(LwoFindings, ConvexPolygonsOfManyCornersCostLinearWork) {
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

// z bit patterns that put (x, 0, z) into slot 0 of the position hash the grouping used to
// have (FNV-1a steps with an xor-shift, over x, y, z; the table's slot was its low bits),
// found by running that hash backwards from hashes whose low 16 bits are 0.
std::vector<uint32_t> OneSlotZBits(float x, size_t count) {
  const uint32_t p = 16777619u;
  uint32_t inverse = p;
  for (int i = 0; i < 5; ++i) inverse *= 2u - p * inverse;
  auto step = [&](uint32_t h) {
    h *= p;
    return h ^ (h >> 15);
  };
  auto unstep = [&](uint32_t h) { return (h ^ (h >> 15) ^ (h >> 30)) * inverse; };
  uint32_t x_bits;
  std::memcpy(&x_bits, &x, sizeof x_bits);
  const uint32_t after_xy = step(step(2166136261u ^ x_bits));  // y = 0
  std::vector<uint32_t> bits;
  for (uint32_t k = 0; bits.size() < count && k < 65536; ++k) {
    const uint32_t z = unstep(k << 16) ^ after_xy;
    if (((z >> 23) & 0xFF) == 0xFF || z == 0 || z == 0x80000000u) continue;  // NaN, inf, zeros
    bits.push_back(z);
  }
  return bits;
}

// A fuzzer's mesh: 32,768 points chosen to share one slot of that hash made the grouping
// quadratic (fuzz/regressions/lwo holds it). Grouping sorts now; the normals must still be
// the naive ones.
TEST(LwoFindings, PositionsChosenForOneHashSlotGroupLikeTheNaiveNormals) {
  const int32_t triangles = 1365;
  const std::vector<uint32_t> z_bits[3] = {OneSlotZBits(0, triangles), OneSlotZBits(1, triangles),
                                           OneSlotZBits(2, triangles)};
  for (const auto& bits : z_bits) ASSERT_EQ(bits.size(), size_t(triangles));
  Mesh grouped{}, naive{};
  const int32_t n = 3 * triangles;
  for (Mesh* mesh : {&grouped, &naive}) {
    mesh->vertex_count = n;
    mesh->triangle_count = n / 3;
    mesh->vertices = new MeshVertex[n]();
    mesh->triangles = AllocateMeshTriangles(n / 3);
    for (int32_t i = 0; i < n; ++i) {
      // Corner c at x = c; every other triangle shares its first corner with the one before.
      const int32_t t = i / 3, c = i % 3;
      const uint32_t bits = z_bits[c][c == 0 ? t - t % 2 : t];
      std::memcpy(&mesh->vertices[i].z, &bits, sizeof bits);
      mesh->vertices[i].x = float(c);
      MeshTriangle& tri = mesh->triangles[t];
      (c == 0 ? tri.index0 : c == 1 ? tri.index1 : tri.index2) = int16_t(i);
    }
  }
  ComputeMeshNormals(&grouped);
  ComputeMeshNormalsNaive(&naive);
  for (int32_t i = 0; i < n; ++i) {
    ASSERT_EQ(std::memcmp(&grouped.vertices[i].nx, &naive.vertices[i].nx, 3 * sizeof(float)), 0) << i;
  }
  FreeMeshArrays(&grouped);
  FreeMeshArrays(&naive);
}

}  // namespace
