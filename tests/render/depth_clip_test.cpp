// Depth keys, the depth sort against its 16-pass reference, and view-volume clipping.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "render/clip.h"
#include "render/depth_sort.h"
#include "render/mesh_emit.h"
#include "render/projection.h"
#include "render/scene_pass.h"
#include "render/vertex_transform.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

TEST(DepthKey, GrowsWithMeanDepthAndClampsInsteadOfWrapping) {
  struct Case {
    double z[3];
    uint32_t key;
  } cases[] = {
      {{10, 10, 10}, 33150},  {{10.01, 10.01, 10.01}, 33150}, {{100, 100, 100}, 39000},
      {{200, 200, 200}, 45500}, {{0, 0, 0}, 32500},          {{508, 508, 508}, 65520},
      {{509, 509, 509}, 65535}, {{5000, 0, 0}, 65535},        {{-600, -600, -600}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(DepthKey(c.z[0], c.z[1], c.z[2]), c.key) << c.z[0];
}

TEST(SortRows, MatchesTheSixteenBinaryPasses) {
  std::mt19937 random(7);
  for (uint32_t key_range : {1u, 3u, 300u, 65536u}) {
    std::vector<SortRow> rows(5000), scratch(5000);
    for (int32_t i = 0; i < 5000; ++i) rows[i] = SortRow{static_cast<uint32_t>(random() % key_range), i};
    std::vector<SortRow> reference = rows;
    SortRows(5000, rows.data(), scratch.data());
    SortRowsBinary(5000, reference.data());
    for (int32_t i = 0; i < 5000; ++i) {
      ASSERT_TRUE(rows[i].key == reference[i].key && rows[i].triangle == reference[i].triangle) << i;
      ASSERT_TRUE(i == 0 || rows[i - 1].key >= rows[i].key) << i;
    }
  }
}

RenderVertex At(double x, double y, double z, float u) {
  RenderVertex v{};
  return v.x = x, v.y = y, v.z = z, v.u = u, v;
}

// The clip order of the scene pass: near, right, top, bottom, left.
int32_t ClipAll(std::vector<RenderVertex> triangle, RenderVertex* out) {
  RenderVertex buffers[2][CLIP_POLYGON_SIZE];
  int32_t m = 3, from = 0;
  std::copy(triangle.begin(), triangle.end(), buffers[0]);
  for (int plane : {CLIP_NEAR, CLIP_RIGHT, CLIP_TOP, CLIP_BOTTOM, CLIP_LEFT}) {
    ClipPolygon(g_render.clip_planes[plane], buffers[from], m, buffers[1 - from], &m);
    from = 1 - from;
  }
  std::copy(buffers[from], buffers[from] + m, out);
  return m;
}

TEST_F(RenderTest, ClippingKeepsCutsAndDrops) {
  struct Case {
    const char* name;
    std::vector<RenderVertex> triangle;
    int32_t count;
  } cases[] = {
      {"on the left plane, near the eye", {At(0, 0, 0, 0), At(1, 0, 5, 1), At(0, 1, 5, 2)}, 3},
      {"one corner left", {At(0, 0, 100, 0), At(10, 10, 100, 1), At(-200, 0, 100, 2)}, 4},
      {"one corner past left and top", {At(-300, -300, 100, 0), At(50, 0, 100, 1), At(0, 50, 100, 2)}, 5},
      {"all right of the view", {At(300, 0, 100, 0), At(400, 0, 100, 1), At(300, 50, 100, 2)}, 0},
  };
  for (Case& c : cases) {
    RenderVertex out[CLIP_POLYGON_SIZE];
    ASSERT_EQ(ClipAll(c.triangle, out), c.count) << c.name;
    for (int32_t i = 0; c.count == 3 && i < 3; ++i) EXPECT_EQ(out[i].u, c.triangle[i].u) << c.name;
    if (c.count == 4) {  // the cut corner 2 gives way to the crossings of edges 1-2 and 2-0, in that order
      EXPECT_TRUE(out[0].u == 0 && out[1].u == 1 && out[2].u > 1 && out[2].u < 2 && out[3].u > 0 && out[3].u < 2);
    }
    for (int32_t i = 0; i < c.count; ++i) {
      ProjectVertex(&out[i]);
      if (out[i].z <= 0) continue;  // the eye itself projects anywhere
      EXPECT_TRUE(out[i].sx > 1 && out[i].sx < 511 && out[i].sy > 1 && out[i].sy < 383) << c.name << " " << i;
    }
  }
}

// The lane test against the plane-by-plane one, and a triangle it lets skip the passes comes
// out of them unchanged. Zeros of either sign, corners on a plane, infinities and NaN lead
// the table; random triangles around the view's edges follow.
TEST_F(RenderTest, InsideAllPlanesDecidesAsThePassesWould) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  const ClipPlane& left = g_render.clip_planes[CLIP_LEFT];
  const double on_left = -100.0 * left.nz / left.nx;  // x of the left plane at z = 100
  std::vector<std::vector<RenderVertex>> cases = {
      {At(0, 0, 100, 0), At(50, 0, 100, 1), At(0, 50, 100, 2)},
      {At(0, 0, 0, 0), At(-0.0, 0, 5, 1), At(0, -0.0, -0.0, 2)},
      {At(on_left, 0, 100, 0), At(0, 0, 100, 1), At(0, 10, 100, 2)},
      {At(std::nextafter(on_left, -inf), 0, 100, 0), At(0, 0, 100, 1), At(0, 10, 100, 2)},
      {At(0, inf, 100, 0), At(0, 0, 100, 1), At(0, 10, 100, 2)},
      {At(0, 0, inf, 0), At(0, 0, 100, 1), At(0, 10, 100, 2)},
      {At(nan, 0, 100, 0), At(0, 0, 100, 1), At(0, 10, 100, 2)},
      {At(0, 0, nan, 0), At(0, 0, 100, 1), At(0, 10, 100, 2)},
      {At(1e-320, -1e-320, 1e-320, 0), At(0, 0, 100, 1), At(0, 10, 100, 2)},
  };
  std::mt19937 random(11);
  std::uniform_real_distribution<double> z(0.0, 50.0), spread(-1.2, 1.2);
  for (int i = 0; i < 3 * 2000; ++i) {
    if (i % 3 == 0) cases.emplace_back();
    const double depth = z(random);
    cases.back().push_back(At(depth * spread(random), depth * 0.75 * spread(random), depth, static_cast<float>(i % 3)));
  }
  const ClipPlaneLanes lanes = ClipPlanesAsLanes(g_render.clip_planes);
  ASSERT_TRUE(lanes.as_built);
  int inside = 0;
  for (size_t i = 0; i < cases.size(); ++i) {
    const bool fast = InsideClipPlanes(lanes, cases[i].data());
    ASSERT_EQ(fast, InsideClipPlanesReference(g_render.clip_planes, cases[i].data())) << "case " << i;
    if (!fast) continue;
    ++inside;
    RenderVertex out[CLIP_POLYGON_SIZE];
    ASSERT_EQ(ClipAll(cases[i], out), 3) << "case " << i;
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(out[k].x == cases[i][k].x && out[k].u == cases[i][k].u) << "case " << i;
  }
  EXPECT_GT(inside, 100);
  EXPECT_LT(inside, 1900);

  // The screen rectangle emission decides by never holds a corner the planes leave out, and
  // leaves out few they keep.
  const InsideRectangle r = SurelyInsideRectangle(g_render.clip_planes, FOCAL_LENGTH, 256, 192, 1.0f, 1.0f);
  ASSERT_TRUE(r.valid);
  int kept = 0, held = 0;
  for (const auto& triangle : cases) {
    for (RenderVertex c : triangle) {
      ProjectVertex(&c);
      const bool planes = VertexInsideClipPlanes(lanes, c.x, c.y, c.z);
      const bool rectangle = c.z > 0 && c.sx >= r.left && c.sx <= r.right && c.sy >= r.top && c.sy <= r.bottom;
      ASSERT_TRUE(!rectangle || planes) << c.x << ", " << c.y << ", " << c.z;
      kept += planes, held += rectangle;
    }
  }
  EXPECT_GT(held, kept * 99 / 100);
}

// What emission settles for the pass: which triangles are culled, their depth keys, and which
// may skip clipping.
TEST_F(RenderTest, TriangleKeyCullsAndMarksTrianglesThatNeedNoClipping) {
  struct Case {
    const char* name;
    double corners[3][3];
    bool culled, inside;
  } cases[] = {
      {"clockwise on the screen", {{0, 0, 100}, {50, 0, 100}, {0, 50, 100}}, false, true},
      {"counter-clockwise", {{0, 0, 100}, {0, 50, 100}, {50, 0, 100}}, true, false},
      {"a corner behind the eye", {{0, 0, 100}, {50, 0, 100}, {0, 50, -1}}, true, false},
      {"every corner off the screen", {{1000, 0, 100}, {1050, 0, 100}, {1000, 50, 100}}, true, false},
      {"across the left edge", {{-150, 0, 100}, {50, 0, 100}, {-150, 50, 100}}, false, false},
  };
  VertexSetup setup{};
  setup.planes = ClipPlanesAsLanes(g_render.clip_planes);
  setup.right = 511.0f, setup.bottom = 383.0f;
  for (const Case& c : cases) {
    RenderVertex t[3];
    ScreenVertex screen[3];
    CameraVertex camera[3];
    for (int k = 0; k < 3; ++k) {
      t[k] = At(c.corners[k][0], c.corners[k][1], c.corners[k][2], 0);
      ProjectVertex(&t[k]);
      screen[k] = ScreenVertex{t[k].sx, t[k].sy, 0, 0};
      const uint32_t flags = VertexFlags(setup, t[k].x, t[k].y, t[k].z, t[k].sx, t[k].sy);
      camera[k] = CameraVertex{t[k].x, t[k].y, t[k].z, 0, 0, flags};
    }
    const int32_t vertex[3] = {0, 1, 2};
    const uint32_t key = TriangleKey(screen, camera, vertex);
    EXPECT_EQ(key == CULLED_TRIANGLE, c.culled) << c.name;
    if (c.culled) continue;
    EXPECT_EQ(key & 0xFFFFu, DepthKey(t[0].z, t[1].z, t[2].z)) << c.name;
    EXPECT_EQ((key & KEY_INSIDE_PLANES) != 0, c.inside) << c.name;
    EXPECT_EQ(c.inside, InsideClipPlanesReference(g_render.clip_planes, t)) << c.name;
  }
}

}  // namespace
