// Loading sound objects: what the mesh gets from points, polygons, tags, surfaces, UV maps
// and clips.
#include <cmath>

#include "geometry_test_support.h"

namespace {

using geometry_test::Load;
using geometry_test::LoadedMesh;
using geometry_test::TwoTriangleObject;

TEST(LwoMesh, CountsAndPositions) {
  LoadedMesh m;
  Load(&m, WriteLwo(TwoTriangleObject()));
  ASSERT_EQ(m.result, 1) << m.console;
  EXPECT_EQ(m.mesh.vertex_count, 4);
  EXPECT_EQ(m.mesh.triangle_count, 2);
  EXPECT_EQ(m.mesh.surface_count, 2);
  EXPECT_EQ(m.mesh.morph_count, 1);
  EXPECT_EQ(m.mesh.vertices[2].x, 1.0f);
  EXPECT_EQ(m.mesh.vertices[2].y, -2.0f) << "y is negated";
  EXPECT_EQ(m.mesh.triangles[1].index0, 0);
  EXPECT_EQ(m.mesh.triangles[1].index1, 2);
  EXPECT_EQ(m.mesh.triangles[1].index2, 3);
  EXPECT_TRUE(m.console.empty()) << m.console;
}

TEST(LwoMesh, SurfaceColourBytesTruncate) {
  LoadedMesh m;
  Load(&m, WriteLwo(TwoTriangleObject()));
  ASSERT_EQ(m.result, 1);
  const MeshTriangle& red = m.mesh.triangles[0];
  EXPECT_EQ(red.r, 255);
  EXPECT_EQ(red.g, 127);
  EXPECT_EQ(red.b, 0);
}

TEST(LwoMesh, ColoursBeyondOneSaturate) {
  LwoWriter writer = TwoTriangleObject();
  writer.surfaces[0].colour[0] = 1.5f;
  writer.surfaces[0].colour[1] = -0.5f;
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  EXPECT_EQ(m.mesh.triangles[0].r, 255);
  EXPECT_EQ(m.mesh.triangles[0].g, 0);
}

TEST(LwoMesh, SurfaceListsHoldTheirTriangles) {
  LoadedMesh m;
  Load(&m, WriteLwo(TwoTriangleObject()));
  ASSERT_EQ(m.result, 1);
  ASSERT_EQ(m.mesh.surface_triangle_counts[0], 1);
  ASSERT_EQ(m.mesh.surface_triangle_counts[1], 1);
  EXPECT_EQ(m.mesh.surface_triangles[0][0], 0);
  EXPECT_EQ(m.mesh.surface_triangles[1][0], 1);
}

TEST(LwoMesh, UvCoordinatesFlipV) {
  LoadedMesh m;
  Load(&m, WriteLwo(TwoTriangleObject()));
  ASSERT_EQ(m.result, 1);
  const MeshTriangle& wall = m.mesh.triangles[1];  // corners 0, 2, 3
  EXPECT_EQ(wall.u0, 0.0f);
  EXPECT_EQ(wall.t0, 1.0f);
  EXPECT_EQ(wall.u1, 1.0f);
  EXPECT_EQ(wall.t1, 0.0f);
  EXPECT_EQ(wall.u2, 0.0f);
  EXPECT_EQ(wall.t2, 0.75f) << "v 0.25 in the file";
  const MeshTriangle& red = m.mesh.triangles[0];  // a surface without a UV map
  EXPECT_EQ(red.u1, 0.0f);
  EXPECT_EQ(red.t1, 0.0f);
}

TEST(LwoMesh, CornerMissingFromTheUvMapTakesTheFirstEntry) {
  LwoWriter writer = TwoTriangleObject();
  LwoWriterMap& uv = writer.layers[0].uv_maps[0];
  uv = LwoWriterMap{"Texture", {}, {}, {}};
  AddLwoUv(&uv, 2, 0.5f, 0.5f);  // the first entry
  AddLwoUv(&uv, 0, 0.25f, 0.0f);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  const MeshTriangle& wall = m.mesh.triangles[1];
  EXPECT_EQ(wall.u0, 0.25f);
  EXPECT_EQ(wall.t0, 1.0f);
  EXPECT_EQ(wall.u2, 0.5f) << "point 3 is not in the map";
  EXPECT_EQ(wall.t2, 0.5f);
}

TEST(LwoMesh, LightmapMapsFillLightmapCoordinates) {
  for (const char* name : {"Lightmap", "LightmapA"}) {
    LwoWriter writer = TwoTriangleObject();
    LwoWriterMap* map = AddLwoUvMap(&writer.layers[0], name);
    AddLwoUv(map, 1, 0.5f, 0.25f);
    LoadedMesh m;
    Load(&m, WriteLwo(writer));
    ASSERT_EQ(m.result, 1) << name;
    EXPECT_EQ(m.mesh.vertices[1].lu, 0.5f) << name;
    EXPECT_EQ(m.mesh.vertices[1].lv, 0.75f) << name;
    EXPECT_EQ(m.mesh.vertices[0].lu, 0.0f) << "a point the map does not list";
    EXPECT_EQ(m.mesh.vertices[0].lv, 0.0f);
  }
}

TEST(LwoMesh, LowerCaseLightmapIsNotALightmap) {
  LwoWriter writer = TwoTriangleObject();
  LwoWriterMap* map = AddLwoUvMap(&writer.layers[0], "lightmap");
  AddLwoUv(map, 1, 0.5f, 0.25f);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  EXPECT_EQ(m.mesh.vertices[1].lu, 0.0f);
  EXPECT_EQ(m.mesh.vertices[1].lv, 0.0f);
}

TEST(LwoMesh, LaterLightmapsOverwriteEarlierOnes) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoUv(AddLwoUvMap(&writer.layers[0], "Lightmap"), 1, 0.5f, 0.5f);
  AddLwoUv(AddLwoUvMap(&writer.layers[0], "Lightmap2"), 1, 0.125f, 0.5f);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  EXPECT_EQ(m.mesh.vertices[1].lu, 0.125f);
}

std::string TextureNameFor(const char* clip_file) {
  LwoWriter writer = TwoTriangleObject();
  writer.clips[0].file_name = clip_file;
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  EXPECT_EQ(m.result, 1);
  EXPECT_EQ(m.mesh.surface_texture_names[0][0], '\0') << "Red has no image";
  return m.mesh.surface_texture_names[1];
}

TEST(LwoMesh, ClipNamesLoseTheirFolders) {
  EXPECT_EQ(TextureNameFor("Images/wall.png"), "wall.png");
  EXPECT_EQ(TextureNameFor("wall.png"), "wall.png");
  EXPECT_EQ(TextureNameFor("..\\maps\\wall.png"), "wall.png");
  EXPECT_EQ(TextureNameFor("C:Users/me/wall.png"), "wall.png");
  EXPECT_EQ(TextureNameFor("C:wall.png"), "wall.png");
}

TEST(LwoMesh, LongClipNamesAreCutToTheField) {
  EXPECT_EQ(TextureNameFor("dir/abcdefghijklmnopqrstuvwxyz.png"), "abcdefghijklmnopqrs");
}

TEST(LwoMesh, SurfaceWithoutMatchingClipHasNoTextureName) {
  LwoWriter writer = TwoTriangleObject();
  writer.clips[0].index = 7;
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  EXPECT_STREQ(m.mesh.surface_texture_names[1], "");
}

TEST(LwoMesh, SharedPositionsShareNormals) {
  LwoWriter writer = TwoTriangleObject();
  LwoWriterLayer& layer = writer.layers[0];
  // A tilted triangle on point 4, a copy of point 2's position.
  const int32_t copy = AddLwoPoint(&layer, 1, 2, 0);
  const int32_t tip = AddLwoPoint(&layer, 2, 2, 1);
  AddLwoPolygon(&layer, {1, tip, copy}, "Red");
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  const MeshVertex& a = m.mesh.vertices[2];
  const MeshVertex& b = m.mesh.vertices[copy];
  EXPECT_EQ(a.nx, b.nx);
  EXPECT_EQ(a.ny, b.ny);
  EXPECT_EQ(a.nz, b.nz);
  EXPECT_NEAR(std::sqrt(a.nx * a.nx + a.ny * a.ny + a.nz * a.nz), 1.0, 1e-6);
  EXPECT_NE(a.nx, 0.0f) << "the tilted triangle bends the normal";
}

TEST(LwoMesh, TriangleWithUnknownTagStaysWhite) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoPolygon(&writer.layers[0], {1, 2, 3}, "NoSuchSurface");
  AddLwoPolygon(&writer.layers[0], {1, 3, 0}, "");
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  for (int t = 2; t < 4; ++t) {
    const MeshTriangle& tri = m.mesh.triangles[t];
    EXPECT_EQ(tri.r, 255);
    EXPECT_EQ(tri.g, 255);
    EXPECT_EQ(tri.b, 255);
    EXPECT_EQ(tri.u0, 0.0f);
  }
  EXPECT_EQ(m.mesh.surface_triangle_counts[0] + m.mesh.surface_triangle_counts[1], 2);
}

TEST(LwoMesh, NotLwo2IsAWrongFormat) {
  std::vector<uint8_t> bytes = WriteLwo(TwoTriangleObject());
  bytes[11] = 'B';  // LWOB
  LoadedMesh m;
  Load(&m, bytes, "old.lwo");
  EXPECT_EQ(m.result, 0);
  EXPECT_NE(m.console.find("Wrong File Format!"), std::string::npos) << m.console;
  // The box does not say which file; the console line does.
  EXPECT_NE(m.console.find("old.lwo: FORM chunk at offset 0: not an LWO2 file (FORM type \"LWOB\")"),
            std::string::npos)
      << m.console;
  EXPECT_EQ(m.mesh.vertices, nullptr);
  EXPECT_EQ(m.mesh.vertex_count, 0);

  std::vector<uint8_t> not_iff(64, 'x');
  LoadedMesh n;
  Load(&n, not_iff);
  EXPECT_EQ(n.result, 0);
  EXPECT_NE(n.console.find("Wrong File Format!"), std::string::npos);
  EXPECT_NE(n.console.find("not an LWO2 file (no IFF FORM; it begins with \"xxxx\")"), std::string::npos)
      << n.console;
}

TEST(LwoMesh, EmptyChunkIsNotFound) {
  Mesh mesh{};
  MemChunk chunk{};
  EXPECT_EQ(LoadLwoMesh(&mesh, chunk), 0);
  EXPECT_EQ(mesh.vertices, nullptr);
}

TEST(LwoMesh, ObjectWithoutPolygonsYieldsZero) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "points only");
  AddLwoPoint(layer, 0, 0, 0);
  LoadedMesh m;
  Load(&m, WriteLwo(writer), "points.lwo");
  EXPECT_EQ(m.result, 0);
  EXPECT_NE(m.console.find("points.lwo: no polygons"), std::string::npos) << m.console;
  EXPECT_EQ(m.mesh.vertices, nullptr);
}

TEST(LwoMesh, UnusedVertexGetsAZeroNormal) {
  LwoWriter writer = TwoTriangleObject();
  const int32_t lonely = AddLwoPoint(&writer.layers[0], 5, 5, 5);
  LoadedMesh m;
  Load(&m, WriteLwo(writer));
  ASSERT_EQ(m.result, 1);
  EXPECT_EQ(m.mesh.vertices[lonely].nx, 0.0f);
  EXPECT_EQ(m.mesh.vertices[lonely].ny, 0.0f);
  EXPECT_EQ(m.mesh.vertices[lonely].nz, 0.0f);
}

}  // namespace
