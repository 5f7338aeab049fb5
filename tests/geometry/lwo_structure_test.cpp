// Files as modelling tools write them: several layers, polygons of many corners, tags in
// any order, texture seams in VMAD, odd-sized chunks, four-byte indices, patches.
#include <cmath>
#include <cstring>

#include "geometry/lwo_object.h"
#include "geometry/lwo_triangulate.h"
#include "geometry_test_support.h"

namespace {

using geometry_test::Load;
using geometry_test::LoadedMesh;
using geometry_test::TwoTriangleObject;

void PutU2(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(uint8_t(v >> 8));
  out->push_back(uint8_t(v));
}

void PutU4(std::vector<uint8_t>* out, uint32_t v) {
  PutU2(out, v >> 16);
  PutU2(out, v);
}

std::vector<uint8_t> Bytes(const char* text, size_t n) { return std::vector<uint8_t>(text, text + n); }

TEST(LwoLayers, AllLayersAreMerged) {
  LwoWriter writer = TwoTriangleObject();
  LwoWriterLayer* second = AddLwoLayer(&writer, "Layer 2");
  AddLwoPoint(second, 5, 0, 0);
  AddLwoPoint(second, 6, 0, 0);
  AddLwoPoint(second, 6, 1, 0);
  AddLwoPolygon(second, {0, 1, 2}, "Wall");
  AddLwoUv(AddLwoUvMap(second, "Texture"), 2, 0.5f, 0.5f);
  AddLwoUv(AddLwoUvMap(second, "Lightmap"), 1, 0.25f, 0.0f);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 7);
  EXPECT_EQ(m.mesh.triangle_count, 3);
  EXPECT_EQ(m.mesh.vertices[4].x, 5.0f);
  const MeshTriangle& t = m.mesh.triangles[2];
  EXPECT_EQ(t.index0, 4);
  EXPECT_EQ(t.index1, 5);
  EXPECT_EQ(t.index2, 6);
  ASSERT_EQ(m.mesh.surface_triangle_counts[1], 2);
  EXPECT_EQ(m.mesh.surface_triangles[1][1], 2) << "the second layer's triangle is on Wall";
  EXPECT_EQ(t.u2, 0.5f) << "the second layer's own UV map";
  EXPECT_EQ(m.mesh.vertices[5].lu, 0.25f);
  EXPECT_EQ(m.mesh.vertices[5].lv, 1.0f);
  EXPECT_EQ(m.mesh.vertices[1].lu, 0.0f) << "layer 2's point 1 is mesh vertex 5, not 1";
}

// The lists keep file order with their links both ways, and each ends at its current node.
template <typename Node>
void ExpectList(const Node* head, const Node* current, int32_t count) {
  int32_t seen = 0;
  const Node* before = nullptr;
  for (const Node* node = head; node; before = node, node = node->next, ++seen) EXPECT_EQ(node->prev, before);
  EXPECT_EQ(seen, count);
  EXPECT_EQ(current, before);
}

TEST(LwoLayers, ListsOfTheObjectEndAtTheirCurrentNode) {
  LwoWriter writer = TwoTriangleObject();
  LwoWriterLayer* second = AddLwoLayer(&writer, "Layer 2");
  AddLwoPoint(second, 5, 0, 0);
  AddLwoUv(AddLwoUvMap(second, "Texture"), 0, 0.5f, 0.5f);
  AddLwoClip(&writer, 2, "b.png");
  AddLwoClip(&writer, 3, "c.png");
  AddLwoSurface(&writer, "Blue", 0, 0, 1, "", 0);
  const std::vector<uint8_t> bytes = WriteLwo(writer);
  LwoObject object{};
  ASSERT_EQ(ReadLwoFile(&object, bytes.data(), int32_t(bytes.size()), "lists.lwo"), 1) << object.error;
  ExpectList(object.layers, object.current_layer, 2);
  ExpectList(object.uv_maps, object.current_uv_map, 2);
  ExpectList(object.clips, object.current_clip, 3);
  ExpectList(object.surfaces, object.current_surface, 3);
  EXPECT_EQ(object.current_clip->index, 3);
  FreeLwoObject(&object);
  EXPECT_EQ(object.current_clip, nullptr);
  EXPECT_EQ(object.clips, nullptr);
}

double TriangleArea(const Mesh& mesh, const MeshTriangle& t) {
  const MeshVertex& a = mesh.vertices[t.index0];
  const MeshVertex& b = mesh.vertices[t.index1];
  const MeshVertex& c = mesh.vertices[t.index2];
  // Signed area in the x, y plane of the loaded (y negated) positions.
  return 0.5 * ((double(b.x) - a.x) * (double(c.y) - a.y) - (double(c.x) - a.x) * (double(b.y) - a.y));
}

TEST(LwoPolygons, ConcavePolygonIsCutIntoItsOwnArea) {
  // An arrow head: concave at point 3, in the z = 0 plane.
  const float outline[][2] = {{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}};
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "arrow");
  std::vector<int32_t> corners;
  for (const auto& p : outline) corners.push_back(AddLwoPoint(layer, p[0], p[1], 0));
  AddLwoPolygon(layer, corners, "Red");
  LwoWriterMap* uv = AddLwoUvMap(layer, "Texture");
  for (int32_t i = 0; i < 5; ++i) AddLwoUv(uv, i, outline[i][0] / 4, outline[i][1] / 4);
  AddLwoSurface(&writer, "Red", 1, 0, 0, "Texture", 0);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  ASSERT_EQ(m.mesh.triangle_count, 3);
  double total = 0;
  for (int i = 0; i < 3; ++i) {
    const MeshTriangle& t = m.mesh.triangles[i];
    const double area = TriangleArea(m.mesh, t);
    EXPECT_LT(area, 0) << "every triangle keeps the polygon's winding (y is negated)";
    total += area;
    EXPECT_EQ(t.r, 255);
    EXPECT_EQ(t.g, 0);
    EXPECT_EQ(t.u0, m.mesh.vertices[t.index0].x / 4) << "corners keep their own UVs";
    EXPECT_EQ(t.t1, 1.0f + m.mesh.vertices[t.index1].y / 4);
  }
  // Shoelace area of the outline: 16 - the notch (4 * 3 / 2) = 10.
  EXPECT_DOUBLE_EQ(total, -10.0);
  EXPECT_EQ(m.mesh.surface_triangle_counts[0], 3);
}

TEST(LwoPolygons, PolygonsOfFewerThanThreeCornersAreSkipped) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoPolygon(&writer.layers[0], {0, 1}, "Red");
  AddLwoPolygon(&writer.layers[0], {3}, "Red");
  AddLwoPolygon(&writer.layers[0], {1, 2, 3}, "Wall");
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangle_count, 3);
  EXPECT_EQ(m.mesh.triangles[2].index0, 1);
  EXPECT_EQ(m.mesh.surface_triangle_counts[1], 2) << "the tag of polygon 4 reaches triangle 2";
}

TEST(LwoPolygons, PolygonsPastTheWorkBudgetAreCutAsFans) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoPolygon(&writer.layers[0], {0, 1, 2, 3}, "Red");
  const std::vector<uint8_t> bytes = WriteLwo(writer);
  LwoObject object{};
  object.triangulation_work = TRIANGULATION_WORK_LIMIT + 1;  // as after many costly polygons
  ASSERT_EQ(ReadLwoFile(&object, bytes.data(), int32_t(bytes.size()), "quad.lwo"), 1) << object.error;
  EXPECT_EQ(object.fanned_polygons, 1);
  EXPECT_EQ(object.triangulated_polygons, 1);
  EXPECT_EQ(object.total_polygon_count, 4);
  FreeLwoObject(&object);
}

TEST(LwoPolygons, FlagBitsOfTheCountWordAreNotCorners) {
  std::vector<uint8_t> bytes = WriteLwo(TwoTriangleObject());
  const size_t pols = geometry_test::FindChunk(bytes, "POLS");
  bytes[pols + 12] |= 0xFC;  // high six bits of polygon 0's count word
  LoadedMesh m;
  Load(&m, bytes);
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangle_count, 2);
}

TEST(LwoTags, EntriesNameTheirPolygon) {
  LwoWriter writer = TwoTriangleObject();
  std::vector<uint8_t> bytes = WriteLwo(writer);
  // Swap the two PTAG entries: polygon 1 first, then polygon 0.
  const size_t ptag = geometry_test::FindChunk(bytes, "PTAG") + 12;
  std::swap_ranges(bytes.begin() + ptag, bytes.begin() + ptag + 4, bytes.begin() + ptag + 4);
  LoadedMesh m;
  Load(&m, bytes);
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangles[0].g, 127) << "polygon 0 is still Red";
  EXPECT_EQ(m.mesh.surface_triangles[1][0], 1);
}

TEST(LwoSurfaces, MoreThanTwentyKeepTheFirstAndSaySo) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "many");
  for (int i = 0; i < 3; ++i) AddLwoPoint(layer, float(i), float(i * i), 0);
  char name[16];
  for (int i = 0; i < 23; ++i) {
    std::snprintf(name, sizeof name, "S%02d", i);
    AddLwoSurface(&writer, name, 0.0f, 0.0f, i / 100.0f, "", 0);
    AddLwoPolygon(layer, {0, 1, 2}, name);
  }
  LoadedMesh m;
  Load(&m, WriteLwo(writer), "many.lwo");
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.surface_count, MESH_MAX_SURFACES);
  EXPECT_NE(m.console.find("many.lwo: 23 surfaces, only the first 20 are used"), std::string::npos) << m.console;
  EXPECT_EQ(m.mesh.surface_triangle_counts[19], 1);
  EXPECT_EQ(m.mesh.triangles[22].r, 255) << "a dropped surface's triangle stays white";
  EXPECT_EQ(m.mesh.triangles[22].b, 255);
}

TEST(LwoUvSeams, CornerMapOverridesThePointMap) {
  LwoWriter writer = TwoTriangleObject();
  writer.surfaces[0].uv_map = "Texture";  // both surfaces use the map
  LwoWriterMap* seam = AddLwoCornerUvMap(&writer.layers[0], "Texture");
  AddLwoCornerUv(seam, 0, 1, 0.5f, 0.125f);  // point 0 as a corner of polygon 1
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangles[1].u0, 0.5f);
  EXPECT_EQ(m.mesh.triangles[1].t0, 0.875f);
  EXPECT_EQ(m.mesh.triangles[0].u0, 0.0f) << "point 0 in polygon 0 keeps the VMAP value";
  EXPECT_EQ(m.mesh.triangles[0].t0, 1.0f);
  EXPECT_EQ(m.mesh.triangles[1].u1, 1.0f) << "other corners of polygon 1 keep theirs";
}

TEST(LwoUvSeams, CornerMapOfAnotherNameIsIgnored) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoCornerUv(AddLwoCornerUvMap(&writer.layers[0], "Other"), 0, 1, 0.5f, 0.125f);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangles[1].u0, 0.0f);
}

TEST(LwoChunks, OddSizedChunksAreFollowedByAPadByte) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoRawChunk(&writer.leading_chunks, "DESC", {'h', 'i', 0});
  AddLwoRawChunk(&writer.trailing_chunks, "ICON", {1, 2, 3, 4, 5});
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangle_count, 2);
}

TEST(LwoChunks, FourByteIndicesAreRead) {
  // Polygons and tags in the four-byte index form (first byte 0xFF), after the writer's
  // own empty POLS of the layer.
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "vx");
  AddLwoPoint(layer, 0, 0, 0);
  AddLwoPoint(layer, 1, 0, 0);
  AddLwoPoint(layer, 1, 1, 0);
  AddLwoSurface(&writer, "Red", 1, 0, 0, "", 0);
  std::vector<uint8_t> pols = Bytes("FACE", 4);
  PutU2(&pols, 3);
  for (uint32_t i : {0u, 1u, 2u}) PutU4(&pols, 0xFF000000u | i);
  AddLwoRawChunk(&writer.trailing_chunks, "POLS", pols);
  std::vector<uint8_t> ptag = Bytes("SURF", 4);
  PutU4(&ptag, 0xFF000000u);
  PutU2(&ptag, 0);
  AddLwoRawChunk(&writer.trailing_chunks, "PTAG", ptag);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  ASSERT_EQ(m.mesh.triangle_count, 1);
  EXPECT_EQ(m.mesh.triangles[0].index2, 2);
  EXPECT_EQ(m.mesh.triangles[0].g, 0) << "tagged Red";
}

TEST(LwoChunks, LargeIndicesReachTheObject) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "big");
  for (int i = 0; i < 70000; ++i) AddLwoPoint(layer, float(i), 0, float(i % 7));
  AddLwoPolygon(layer, {0, 65300, 69999}, "");
  const std::vector<uint8_t> bytes = WriteLwo(writer);
  LwoObject object{};
  ASSERT_EQ(ReadLwoFile(&object, bytes.data(), int32_t(bytes.size()), "big.lwo"), 1) << object.error;
  ASSERT_EQ(object.total_polygon_count, 1);
  EXPECT_EQ(object.layers->polygons[1], 65300);
  EXPECT_EQ(object.layers->polygons[2], 69999);
  FreeLwoObject(&object);
}

TEST(LwoChunks, MeshBeyondSixteenBitIndicesIsRefused) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "big");
  for (int i = 0; i < MESH_MAX_VERTICES + 1; ++i) AddLwoPoint(layer, float(i), 0, 0);
  AddLwoPolygon(layer, {0, 1, MESH_MAX_VERTICES}, "");
  LoadedMesh m;
  Load(&m, WriteLwo(writer), "big.lwo");
  EXPECT_EQ(m.result, 0);
  EXPECT_NE(m.console.find("big.lwo: 32769 points, more than the 32768 a mesh can index"), std::string::npos)
      << m.console;
  EXPECT_EQ(m.mesh.vertices, nullptr);

  LwoWriter fits;
  layer = AddLwoLayer(&fits, "fits");
  for (int i = 0; i < MESH_MAX_VERTICES; ++i) AddLwoPoint(layer, float(i), float(i & 1), 0);
  AddLwoPolygon(layer, {0, 1, MESH_MAX_VERTICES - 1}, "");
  LoadedMesh f;
  Load(&f, WriteLwo(fits));
  ASSERT_EQ(f.result, 1) << f.console;
  EXPECT_EQ(f.mesh.triangles[0].index2, 32767);
}

TEST(LwoChunks, PatchesAreReadAsPolygons) {
  std::vector<uint8_t> bytes = WriteLwo(TwoTriangleObject());
  const size_t pols = geometry_test::FindChunk(bytes, "POLS");
  std::memcpy(&bytes[pols + 8], "PTCH", 4);
  LoadedMesh m;
  Load(&m, bytes);
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangle_count, 2);
  EXPECT_EQ(m.mesh.triangles[0].g, 127);
}

TEST(LwoChunks, OtherPolygonKindsAndTheirTagsAreSkipped) {
  LwoWriter writer = TwoTriangleObject();
  std::vector<uint8_t> bones = Bytes("BONE", 4);
  PutU2(&bones, 2);
  PutU2(&bones, 0);
  PutU2(&bones, 1);
  AddLwoRawChunk(&writer.trailing_chunks, "POLS", bones);
  std::vector<uint8_t> ptag = Bytes("SURF", 4);
  PutU2(&ptag, 0);
  PutU2(&ptag, 0);
  AddLwoRawChunk(&writer.trailing_chunks, "PTAG", ptag);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangle_count, 2);
  EXPECT_EQ(m.mesh.triangles[1].r, 51) << "polygon 1 keeps its own tag (Wall)";
}

TEST(LwoChunks, LaterTagsChunkOverwritesFromTheFirstSlot) {
  LwoWriter writer = TwoTriangleObject();
  writer.surfaces[1].name = "Blue";
  // The writer's TAGS holds Red, Blue, Wall (polygon 0 is tagged 0, polygon 1 tagged 2); a
  // later TAGS rewrites slot 0 only.
  AddLwoRawChunk(&writer.trailing_chunks, "TAGS", Bytes("Blue\0\0", 6));
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.triangles[0].r, 51) << "tag 0 now names Blue";
  EXPECT_EQ(m.mesh.triangles[1].r, 255) << "tag 2 still names Wall, which no surface is";
}

TEST(LwoChunks, NestedFormIsNotFollowed) {
  LwoWriter writer = TwoTriangleObject();
  std::vector<uint8_t> inner(24, 0);
  std::memcpy(inner.data(), "LWO2PNTS\0\0\0\x0c", 12);
  AddLwoRawChunk(&writer.trailing_chunks, "FORM", inner);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 4);
}

}  // namespace
