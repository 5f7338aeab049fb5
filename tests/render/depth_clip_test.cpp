// Depth keys, the depth sort against its 16-pass reference, and view-volume clipping.
#include <random>
#include <vector>

#include "render/clip.h"
#include "render/depth_sort.h"
#include "render/mesh_emit.h"
#include "render/scene_pass.h"
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
    for (int32_t i = 0; i < 5000; ++i) rows[i] = SortRow{static_cast<uint32_t>(random() % key_range), i, i % 5, i % 2};
    std::vector<SortRow> reference = rows;
    SortRows(5000, rows.data(), scratch.data());
    SortRowsBinary(5000, reference.data());
    for (int32_t i = 0; i < 5000; ++i) {
      ASSERT_EQ(rows[i].key, reference[i].key) << i;
      ASSERT_EQ(rows[i].triangle, reference[i].triangle) << i;
      if (i > 0) {
        ASSERT_GE(rows[i - 1].key, rows[i].key);
      }
    }
  }
}

RenderVertex At(double x, double y, double z, float u) {
  RenderVertex v{};
  v.x = x, v.y = y, v.z = z, v.u = u;
  return v;
}

// The clip order of the scene pass: near, right, top, bottom, left.
int32_t ClipAll(std::vector<RenderVertex> triangle, RenderVertex* out) {
  RenderVertex buffers[2][CLIP_POLYGON_SIZE];
  int32_t m = 3, from = 0;
  for (int i = 0; i < 3; ++i) buffers[0][i] = triangle[i];
  for (int plane : {CLIP_NEAR, CLIP_RIGHT, CLIP_TOP, CLIP_BOTTOM, CLIP_LEFT}) {
    ClipPolygon(g_render.clip_planes[plane], buffers[from], m, buffers[1 - from], &m);
    from = 1 - from;
  }
  for (int32_t i = 0; i < m; ++i) out[i] = buffers[from][i];
  return m;
}

TEST_F(RenderTest, ClippingKeepsCutsAndDrops) {
  struct Case {
    const char* name;
    std::vector<RenderVertex> triangle;
    int32_t count;
  } cases[] = {
      {"inside", {At(0, 0, 100, 0), At(50, 0, 100, 1), At(0, 50, 100, 2)}, 3},
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

}  // namespace
