// The render context: matrices, capabilities, blend-mode targets, the corner interface and
// the projection.
#include <cstring>
#include <utility>
#include <vector>

#include "render/mesh_emit.h"
#include "render/projection.h"
#include "render/scene_pass.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

TEST_F(RenderTest, MatricesMoveAndTurnPoints) {
  const double cases[][12] = {// rotate, translate, point, expected
                              {90, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0.0007963, 0.9999997},  // 3.14/180 falls short
                              {0, 0, 90, 0, 0, 0, 1, 0, 0, 0.0007963, -0.9999997, 0},
                              {0, 0, 0, 1, 2, 3, 0, 0, 0, 1, -2, -3},  // y and z negated
                              {0, 0, 0, 0, 0, 0, 4, 5, 6, 4, 5, 6}};
  for (const auto& c : cases) {
    LoadIdentity();
    Rotate((float)c[0], (float)c[1], (float)c[2]);
    Translate((float)c[3], (float)c[4], (float)c[5]);
    double out[3];
    TransformPoint(g_render.current, c[6], c[7], c[8], out);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], c[9 + i], 2e-7) << c[0] << c[2] << c[3] << " axis " << i;
  }
}

TEST_F(RenderTest, CapabilitiesAndBlendTargets) {
  for (int32_t code : {0x1000, 0x1006, 0x100F, 0x1019, 0x1018}) RenderEnable(code);
  RenderDisable(0x1019);
  EXPECT_EQ(RenderIsEnabled(0x1006) + RenderIsEnabled(0x100F) + RenderIsEnabled(0x1019), 0);
  EXPECT_EQ(RenderIsEnabled(0x1018), 1);
  const int32_t calls[][4] = {{BLEND_LAYER2, 6, 4, 6}, {BLEND_BASE, 2, 2, 6}, {0x7777, 3, 3, 6}};  // target, mode -> base, layer 2
  EXPECT_EQ(g_render.base_blend_mode * 10 + g_render.layer2_blend_mode, 40);
  for (const auto& c : calls) {
    SetBlendMode(c[0], c[1]);
    EXPECT_EQ(std::make_pair(g_render.base_blend_mode, g_render.layer2_blend_mode), std::make_pair(c[2], c[3])) << c[0];
  }
}

// One triangle through the corner interface with every corner the same; its first corner.
RenderVertex EmitOne(float u, float v, float lu, float lv, float nx, float ny, float nz) {
  BeginTriangles();
  for (int k = 0; k < 3; ++k) TexCoord(u, v), LightmapCoord(lu, lv), Normal(nx, ny, nz), Vertex(1, 2, 3);
  RenderVertex corners[3];
  PooledCorners(g_render.triangle_count - 1, corners);
  return corners[0];
}

TEST_F(RenderTest, CornersGetTexelCoordinates) {
  const int32_t texture = SolidTexture(GREEN_PIXEL)->id;
  const int32_t lightmap = SolidTexture(0xFF0000FF)->id;
  struct Case {
    int32_t texture, envmap, layer2, translate_x;
    float u, v, lu, lv, n[3];
    float expected_u, expected_v, expected_u2, expected_v2;
  } cases[] = {
      {texture, 0, 0, 0, 1.5f, -0.2f, 0.5f, 2.0f, {0, 0, 1}, 255, 0, 127.5f, 510},
      {texture, 1, 0, 0, 0, 0, 0, 0, {0, 0, 1}, 128, 128, 0, 0},
      {texture, 1, 0, 0, 0, 0, 0, 0, {1, 0, 0}, 256, 128, 0, 0},
      {texture, 1, 1, 0, 1, 1, 0, 0, {0, 1, 0}, 255, 255, 128, 256},
      // The normal goes through the translation row: (0, 0, 100) + (100, 0, 0), normalised.
      {texture, 1, 0, 100, 0, 0, 0, 0, {0, 0, 1}, 128 + 128 * 0.70710678f, 128, 0, 0},
      {99, 0, 0, 0, 0.5f, 0.5f, 0, 0, {0, 0, 1}, -0.5f, -0.5f, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    c.envmap ? RenderEnable(CAP_ENVMAP) : RenderDisable(CAP_ENVMAP);
    c.layer2 ? RenderEnable(CAP_ENVMAP_LAYER2) : RenderDisable(CAP_ENVMAP_LAYER2);
    LoadIdentity();
    Translate((float)c.translate_x, 0, 0);
    BindTexture(c.texture);
    BindLightmap(lightmap);
    const RenderVertex corner = EmitOne(c.u, c.v, c.lu, c.lv, c.n[0], c.n[1], c.n[2]);
    EXPECT_NEAR(corner.u, c.expected_u, 1e-4);
    EXPECT_FLOAT_EQ(corner.v, c.expected_v);
    EXPECT_FLOAT_EQ(corner.u2, c.expected_u2);
    EXPECT_FLOAT_EQ(corner.v2, c.expected_v2);
  }
}

TEST_F(RenderTest, SixVerticesEmitTwoTrianglesAsDrawMeshDoes) {
  Mesh* mesh = AddCornerMesh(&scene_, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 2, 2}, {3, 2, 1}, {2, 3, 5}}, SolidTexture(GREEN_PIXEL));
  mesh->env_map = 1;
  mesh->vertices[4].nx = 0.6f;
  LoadIdentity();
  Rotate(10, 20, 30);
  Translate(0, 0, -20);  // both in view and facing it: a culled slot keeps no base coordinates
  DrawMesh(mesh);
  ASSERT_EQ(g_render.triangle_count, 2);
  ASSERT_EQ(g_render.row_count, 2);
  RenderVertex from_mesh[2][3], corner_by_corner[2][3];
  for (int t = 0; t < 2; ++t) PooledCorners(t, from_mesh[t]);
  const std::vector<SortRow> rows(g_render.rows, g_render.rows + g_render.row_count);
  ClearTrianglePool();
  BeginTriangles();
  for (const MeshVertex& v : std::vector<MeshVertex>(mesh->vertices, mesh->vertices + 6)) {
    TexCoord(0, 0), LightmapCoord(v.lu, v.lv), Normal(v.nx, v.ny, v.nz), Vertex(v.x, v.y, v.z);
  }
  EXPECT_TRUE(g_render.triangle_count == 2 && g_render.corner_index == 0);
  for (int t = 0; t < 2; ++t) PooledCorners(t, corner_by_corner[t]);
  EXPECT_TRUE(SameCorners(from_mesh[0], corner_by_corner[0], 3));
  EXPECT_TRUE(SameCorners(from_mesh[1], corner_by_corner[1], 3));
  ASSERT_EQ(g_render.row_count, static_cast<int32_t>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(g_render.rows[i].key, rows[i].key);
}

// A mesh whose vertices would leave the triangles still to come short of three each goes
// corner by corner, giving the very corners a whole mesh would; the vertices never run out.
TEST_F(RenderTest, MeshesThatCrowdTheVertexPoolBringTheirOwnCorners) {
  Mesh* mesh = AddCornerMesh(&scene_, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, SolidTexture(GREEN_PIXEL));
  delete[] mesh->vertices;
  mesh->vertex_count = VERTEX_CACHE_SIZE;  // one triangle among many vertices nothing uses
  mesh->vertices = new MeshVertex[VERTEX_CACHE_SIZE]();
  mesh->vertices[1] = MeshVertex{1, 0, 0, 0, 0, 1, 0, 0}, mesh->vertices[2] = MeshVertex{0, 1, 0, 0, 0, 1, 0, 0};
  ClearTrianglePool();
  LoadIdentity();
  Translate(0, 0, 20);
  DrawMesh(mesh);  // whole: the pool is empty
  ASSERT_EQ(g_render.vertex_count, VERTEX_CACHE_SIZE);
  RenderVertex whole[3], own[3];
  PooledCorners(0, whole);
  for (int i = 1; i < 10; ++i) DrawMesh(mesh);  // one triangle further, no room for the whole mesh again
  EXPECT_EQ(g_render.triangle_count, 10);
  EXPECT_EQ(g_render.vertex_count, VERTEX_CACHE_SIZE + 9 * 3);
  PooledCorners(9, own);
  EXPECT_TRUE(SameCorners(whole, own, 3));
}

TEST_F(RenderTest, ProjectionCentresAndFlipsAtZeroDepth) {
  struct Case {
    double x, y, z;
    float sx, sy;
  } cases[] = {{1, 2, 0, 0, -320}, {10, -4, 256, 266, 188}, {0, 0, 5, 256, 192}};
  for (const Case& c : cases) {
    RenderVertex corner{};
    corner.x = c.x, corner.y = c.y, corner.z = c.z;
    ProjectVertex(&corner);
    EXPECT_TRUE(corner.sx == c.sx && corner.sy == c.sy) << c.z << ": " << corner.sx << ", " << corner.sy;
  }
}

}  // namespace
