#include "render/rasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numeric>
#include <utility>
#include <random>
#include <vector>

#include "render/blend.h"
#include "render/lightmap_batch.h"

namespace {

constexpr int kWidth = 512, kHeight = 384;
constexpr uint32_t kBackground = 0x5A5A5A5A;

RenderVertex Corner(float sx, float sy, float u = 0, float v = 0, float u2 = 0, float v2 = 0) {
  RenderVertex c{};
  c.sx = sx, c.sy = sy, c.u = u, c.v = v, c.u2 = u2, c.v2 = v2;
  return c;
}

// A frame allocated exactly, so the sanitizer sees any write outside it, and textures of
// 65536 texels.
class RasterizerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = g_render;
    g_render.frame = {kWidth, kHeight, frame_.data(), kWidth};
    g_render.base_blend_mode = BLEND_COPY, g_render.layer2_blend_mode = 0;
  }
  void TearDown() override { g_render = saved_; }

  uint32_t At(int x, int y) const { return frame_[static_cast<size_t>(y) * kWidth + x]; }
  int Count(uint32_t colour) const { return static_cast<int>(std::count(frame_.begin(), frame_.end(), colour)); }
  int Untouched() const { return Count(kBackground); }

  RenderContext saved_;
  std::vector<uint32_t> frame_ = std::vector<uint32_t>(kWidth * kHeight, kBackground);
  std::vector<uint32_t> white_ = std::vector<uint32_t>(65536, 0xFFFFFFFF);
  Texture white_texture_{256, 256, white_.data(), 0};
};

TEST(ToFixed, RangeTruncationAndTheMarker) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, int32_t> cases[] = {
      {0.0f, 0},          {1.5f, 98304},         {-0.95f, -62259},       {10.5f, 688128},
      {-1e-6f, 0},        {32767.5f, 2147450880}, {32768.0f, 0x7FFF0000}, {-32768.0f, 0x7FFF0000},
      {-1e9f, 0x7FFF0000}, {inf, 0x7FFF0000},    {-inf, 0x7FFF0000},     {std::nanf(""), 0x7FFF0000}};
  for (const auto& c : cases) EXPECT_EQ(ToFixed(c.first), c.second) << c.first;
  std::mt19937 random(1);
  std::uniform_real_distribution<float> wide(-40000.0f, 40000.0f), narrow(-2.0f, 2.0f);
  std::vector<float> values = {32767.998f, -32767.998f, 8388607.5f / 65536.0f, 1.0f / 65536.0f, -1.0f / 65536.0f};
  for (const auto& c : cases) values.push_back(c.first);
  for (int i = 0; i < 4000; ++i) values.push_back(i % 2 ? wide(random) : narrow(random));
  for (size_t i = 0; i + 4 <= values.size(); i += 4) {
    int32_t lanes[4];
    ToFixed4(&values[i], lanes);
    for (int k = 0; k < 4; ++k) ASSERT_EQ(lanes[k], ToFixed(values[i + k])) << values[i + k];
  }
  EXPECT_TRUE(Ceil16(688128) == 11 && Ceil16(655360) == 10 && Ceil16(-65537) == -1 && Ceil16(0x7FFFFFFF) == 32768);
}

TEST_F(RasterizerTest, FlatTopCoverageFollowsTheFillConvention) {
  const RenderVertex t[3] = {Corner(10.5f, 10.0f), Corner(20.0f, 10.0f), Corner(10.5f, 20.0f)};
  DrawTexturedTriangle(&white_texture_, t);
  const int last[10] = {19, 19, 18, 17, 16, 15, 14, 13, 12, 11};  // every row starts at column 11
  int covered = 0;
  for (int y = 10; y < 20; ++y) {
    for (int x = 11; x <= last[y - 10]; ++x) EXPECT_NE(At(x, y), kBackground) << x << "," << y;
    covered += last[y - 10] - 10;
  }
  EXPECT_EQ(Untouched(), kWidth * kHeight - covered);  // and nothing outside those spans
}

TEST_F(RasterizerTest, DegenerateTrianglesDrawNothing) {
  const RenderVertex cases[][3] = {
      {Corner(10, 10), Corner(10.2f, 11.5f), Corner(10, 12.2f)},  // doubled area 0.44
      {Corner(10, 9.2f), Corner(100, 9.5f), Corner(50, 10.0f)},   // every corner on row 10
      {Corner(10, 10), Corner(15.05f, 15.0f), Corner(20, 20)},    // middle corner 0.05 off the long edge
  };
  for (const auto& t : cases) {
    DrawTexturedTriangle(&white_texture_, t);
    EXPECT_EQ(Untouched(), kWidth * kHeight);
  }
}

TEST_F(RasterizerTest, CopyNeverReadsTheFrameAndModeZeroBlendsWithItsInverse) {
  const RenderVertex t[3] = {Corner(50, 50), Corner(150, 60), Corner(70, 140)};
  std::vector<uint32_t> grey(65536, 0x80808080);
  const Texture texture{256, 256, grey.data(), 0};
  for (uint32_t& p : frame_) p = 0x11223344;
  g_render.base_blend_mode = 0;
  DrawTexturedTriangle(&texture, t);
  const int blended = Count(0x776E665Du);  // (D' x 128) >> 8
  EXPECT_GT(blended, 3000);
  EXPECT_EQ(blended + Count(0x11223344u), kWidth * kHeight);

  std::mt19937 random(3);
  for (uint32_t& p : frame_) p = random() | 1;  // never the texel
  g_render.base_blend_mode = BLEND_COPY;
  DrawTexturedTriangle(&texture, t);
  EXPECT_EQ(Count(0x80808080u), blended);
}

// Texel i holds i, so a pixel tells which texel it read.
TEST_F(RasterizerTest, URunsIntoTheNextRowAndTheIndexWrapsAt65536) {
  std::vector<uint32_t> numbered(65536);
  std::iota(numbered.begin(), numbered.end(), 0u);
  const Texture texture{256, 256, numbered.data(), 0};
  for (const uint32_t row : {3u, 255u}) {  // texels read at columns 10, 11, 12: 255 of row, then 0 and 1 of the next
    const float v = static_cast<float>(row);
    const RenderVertex t[3] = {Corner(10, 10, 255.5f, v), Corner(30, 10, 275.5f, v), Corner(10, 30, 255.5f, v)};
    DrawTexturedTriangle(&texture, t);
    const uint32_t next = (row + 1) % 256 * 256;
    EXPECT_TRUE(At(10, 10) == row * 256 + 255 && At(11, 10) == next && At(12, 10) == next + 1) << row;
  }
}

TEST_F(RasterizerTest, UnreadableTexturesAreNotDrawnAndAnUnreadableLightmapIsLeftOut) {
  const RenderVertex t[3] = {Corner(50, 50), Corner(150, 60), Corner(70, 140)};
  std::vector<uint32_t> small(128 * 128, 0xFFFFFFFF);
  const Texture too_small{128, 128, small.data(), 0};
  const Texture no_pixels{256, 256, nullptr, 0};
  DrawTexturedTriangle(&too_small, t);
  DrawTexturedTriangle(&no_pixels, t);
  DrawLightmappedTriangle(&no_pixels, &white_texture_, t);
  DrawTexturedTriangle(nullptr, t);
  EXPECT_EQ(Untouched(), kWidth * kHeight);

  DrawTexturedTriangle(&white_texture_, t);
  const std::vector<uint32_t> alone = frame_;
  std::fill(frame_.begin(), frame_.end(), kBackground);
  DrawLightmappedTriangle(&white_texture_, &too_small, t);
  EXPECT_EQ(frame_, alone);
  DrawLightmappedTriangle(&white_texture_, nullptr, t);
  EXPECT_EQ(frame_, alone);
}

TEST_F(RasterizerTest, LightmapCombinesWithTheInvertedBaseTexel) {
  std::vector<uint32_t> black(65536, 0), grey(65536, 0x80808080);
  const Texture base{256, 256, black.data(), 0}, light{256, 256, grey.data(), 0};
  const RenderVertex t[3] = {Corner(50, 50), Corner(150, 60), Corner(70, 140)};
  DrawLightmappedTriangle(&base, &light, t);  // ((255 - 0) x 128) >> 8 = 127
  EXPECT_EQ(Count(0x7F7F7F7Fu) + Untouched(), kWidth * kHeight);
  EXPECT_LT(Untouched(), kWidth * kHeight - 3000);
}

// Corners off the frame and NaN corners: spans are cut to the frame (the sanitizer watches
// the exact allocation) and the fast loops still agree with the reference.
TEST_F(RasterizerTest, TrianglesReachingPastTheFrameStayInside) {
  const float nan = std::nanf("");
  const RenderVertex cases[][3] = {
      {Corner(-100, -100, 0, 0), Corner(1500, -100, 255, 0), Corner(-100, 1200, 0, 255)},
      {Corner(-40000, 10, 0, 0), Corner(600, 100, 90, 0), Corner(10, 90000, 0, 300)},
      {Corner(nan, 10), Corner(100, 100), Corner(20, 300)},
      {Corner(10, nan), Corner(100, 100), Corner(20, 300)},
  };
  std::vector<uint32_t> numbered(65536);
  for (uint32_t i = 0; i < 65536; ++i) numbered[i] = i * 2654435761u;
  const Texture texture{256, 256, numbered.data(), 0};
  for (int32_t mode : {BLEND_COPY, 1}) {
    g_render.base_blend_mode = mode;
    for (const auto& t : cases) {
      for (const Texture* lightmap : {static_cast<const Texture*>(nullptr), &texture}) {
        std::fill(frame_.begin(), frame_.end(), kBackground);
        DrawTriangleReference(&texture, lightmap, t);
        const std::vector<uint32_t> reference = frame_;
        std::fill(frame_.begin(), frame_.end(), kBackground);
        DrawLightmappedTriangle(&texture, lightmap, t);  // a null lightmap draws one layer
        EXPECT_EQ(frame_, reference) << (lightmap ? "two layers" : "one layer");
      }
    }
  }
  g_render.base_blend_mode = BLEND_COPY;
  DrawTexturedTriangle(&texture, cases[0]);
  EXPECT_EQ(Untouched(), 0);  // the first case covers the whole frame
}

// Random triangles through the lane set-up and fast loops and through the plain forms, in
// every loop and many pairs of modes: whole frames equal, byte for byte.
TEST_F(RasterizerTest, FastLoopsMatchTheReferenceOnRandomTriangles) {
  std::mt19937 random(5);
  std::vector<uint32_t> base(65536), light(65536), start(frame_.size());
  for (auto* texels : {&base, &light, &start}) std::generate(texels->begin(), texels->end(), std::ref(random));
  const Texture base_texture{256, 256, base.data(), 0}, light_texture{256, 256, light.data(), 0};
  std::uniform_real_distribution<float> sx(0.5f, kWidth - 1.5f), sy(0.5f, kHeight - 1.5f), uv(-300.0f, 600.0f);
  std::uniform_real_distribution<float> small(-3.0f, 3.0f);
  auto at = [&](float x, float y) { return Corner(x, y, uv(random), uv(random), uv(random), uv(random)); };
  for (int32_t base_mode = -1; base_mode <= 8; ++base_mode) {
    for (int32_t layer2_mode : {0, 3, 6, 9}) {
      g_render.base_blend_mode = base_mode;
      g_render.layer2_blend_mode = layer2_mode;
      std::vector<RenderVertex> corners;
      for (int i = 0; i < 3 * 20; ++i) corners.push_back(at(sx(random), sy(random)));
      // Small triangles: steep edges, sub-pixel presteps, sections of a row or two.
      for (int i = 0; i < 200; ++i) {
        const float x = sx(random) * 0.9f + 20, y = sy(random) * 0.9f + 10;
        for (int k = 0; k < 3; ++k) corners.push_back(at(x + small(random), y + small(random)));
      }
      // Corners a hair inside the frame's edges, where copies walk their rows uncut.
      std::uniform_real_distribution<float> hair(1e-4f, 0.05f);
      for (int i = 0; i < 3 * 20; ++i) {
        corners.push_back(at(random() % 2 ? hair(random) : kWidth - 1 - hair(random),
                             random() % 2 ? hair(random) : kHeight - 1 - hair(random)));
      }
      for (const Texture* lightmap : {static_cast<const Texture*>(nullptr), &light_texture}) {
        frame_ = start;
        for (size_t i = 0; i < corners.size(); i += 3) DrawTriangleReference(&base_texture, lightmap, &corners[i]);
        const std::vector<uint32_t> reference = frame_;
        frame_ = start;
        g_render.frame.pixels = frame_.data();
        for (size_t i = 0; i < corners.size(); i += 3) {
          lightmap ? DrawLightmappedTriangle(&base_texture, lightmap, &corners[i]) : DrawTexturedTriangle(&base_texture, &corners[i]);
        }
        ASSERT_EQ(frame_, reference) << "base mode " << base_mode << ", layer-2 mode " << layer2_mode
                                     << (lightmap ? ", lightmapped" : "");
        ASSERT_NE(frame_, start);
        if (!lightmap) continue;
        // Every corner lies strictly inside the frame: the scene pass's entry for such triangles.
        frame_ = start;
        for (size_t i = 0; i < corners.size(); i += 3) DrawLightmappedTriangleInFrame(&base_texture, lightmap, &corners[i]);
        ASSERT_EQ(frame_, reference) << "base mode " << base_mode << ", layer-2 mode " << layer2_mode << ", in frame";
        // The same in batches, set up in the widest lanes and in SSE2's, with part batches
        // drawn early (the first six triangles, and the last).
        for (LightmapLanes lanes : {LightmapLanes::kWidest, LightmapLanes::kSse2}) {
          frame_ = start;
          LightmapBatch batch;
          batch.lanes = lanes;
          for (size_t i = 0; i < corners.size(); i += 3) {
            if (i == 3 * 6) DrawLightmapBatch(&batch);
            QueueLightmappedTriangle(&batch, &base_texture, lightmap, &corners[i]);
          }
          DrawLightmapBatch(&batch);
          ASSERT_EQ(frame_, reference) << "base mode " << base_mode << ", layer-2 mode " << layer2_mode
                                       << (lanes == LightmapLanes::kSse2 ? ", batched in SSE2 lanes" : ", batched");
        }
      }
    }
  }
}

}  // namespace
