// Ear clipping in the polygon's plane.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "geometry/lwo_triangulate.h"

namespace {

struct Polygon {
  std::vector<float> points;
  std::vector<int32_t> corners;
};

// Outline in the plane spanned by two axes (u, v), placed in 3D by the given axes.
Polygon Planar(const std::vector<std::pair<float, float>>& outline, const float u_axis[3], const float v_axis[3]) {
  Polygon p;
  for (const auto& [u, v] : outline) {
    p.corners.push_back(int32_t(p.points.size() / 3));
    for (int k = 0; k < 3; ++k) p.points.push_back(u * u_axis[k] + v * v_axis[k]);
  }
  return p;
}

double Area2D(const std::vector<std::pair<float, float>>& o, int a, int b, int c) {
  return 0.5 * ((o[b].first - o[a].first) * double(o[c].second - o[a].second) -
                (o[c].first - o[a].first) * double(o[b].second - o[a].second));
}

// n - 2 triangles, each a positive part of the outline (which is counter-clockwise), and
// together exactly its area.
void ExpectSoundCut(const std::vector<std::pair<float, float>>& outline, const float u[3], const float v[3]) {
  const Polygon p = Planar(outline, u, v);
  std::vector<int32_t> out;
  TriangulatePolygon(p.points.data(), p.corners.data(), int32_t(p.corners.size()), &out);
  ASSERT_EQ(out.size(), 3 * (outline.size() - 2));
  double total = 0, expected = 0;
  for (size_t i = 0; i < outline.size(); ++i) {
    const auto& a = outline[i];
    const auto& b = outline[(i + 1) % outline.size()];
    expected += 0.5 * (double(a.first) * b.second - double(b.first) * a.second);
  }
  for (size_t t = 0; t < out.size(); t += 3) {
    const double area = Area2D(outline, out[t], out[t + 1], out[t + 2]);
    EXPECT_GT(area, 0) << "triangle " << t / 3 << " is flipped or flat";
    total += area;
  }
  EXPECT_NEAR(total, expected, 1e-9 * expected);
}

const float X[3] = {1, 0, 0}, Y[3] = {0, 1, 0}, Z[3] = {0, 0, 1};
const float TILT_U[3] = {0.6f, 0.0f, 0.8f}, TILT_V[3] = {0.0f, 1.0f, 0.0f};

TEST(Triangulate, ConvexPolygonGivesAFan) {
  const Polygon p = Planar({{0, 0}, {2, 0}, {3, 1}, {2, 2}, {0, 2}}, X, Y);
  std::vector<int32_t> out;
  TriangulatePolygon(p.points.data(), p.corners.data(), 5, &out);
  EXPECT_EQ(out, (std::vector<int32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4}));
}

TEST(Triangulate, ConcaveOutlinesInAnyPlane) {
  const std::vector<std::pair<float, float>> comb = {{0, 0}, {5, 0}, {5, 3}, {4, 3}, {4, 1}, {3, 1}, {3, 3},
                                                     {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
  const std::vector<std::pair<float, float>> star = {{0, -3}, {1, -1}, {3, -1}, {1.5f, 0.5f}, {2, 3},
                                                     {0, 1.5f}, {-2, 3}, {-1.5f, 0.5f}, {-3, -1}, {-1, -1}};
  const std::vector<std::pair<float, float>> notch = {{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}};
  for (const auto* outline : {&comb, &star, &notch}) {
    ExpectSoundCut(*outline, X, Y);
    ExpectSoundCut(*outline, Y, Z);
    ExpectSoundCut(*outline, Z, X);
    ExpectSoundCut(*outline, TILT_U, TILT_V);
  }
}

TEST(Triangulate, ClockwiseOutlineKeepsItsWinding) {
  std::vector<std::pair<float, float>> comb = {{0, 0}, {0, 3}, {1, 3}, {1, 1}, {2, 1}, {2, 3}, {3, 3}, {3, 0}};
  const Polygon p = Planar(comb, X, Y);
  std::vector<int32_t> out;
  TriangulatePolygon(p.points.data(), p.corners.data(), 8, &out);
  ASSERT_EQ(out.size(), 18u);
  for (size_t t = 0; t < out.size(); t += 3) EXPECT_LT(Area2D(comb, out[t], out[t + 1], out[t + 2]), 0);
}

TEST(Triangulate, DegenerateAndSelfCrossingPolygonsStillGiveNMinusTwo) {
  const Polygon line = Planar({{0, 0}, {1, 0}, {2, 0}, {3, 0}}, X, Y);
  std::vector<int32_t> out;
  TriangulatePolygon(line.points.data(), line.corners.data(), 4, &out);
  EXPECT_EQ(out, (std::vector<int32_t>{0, 1, 2, 0, 2, 3}));
  const Polygon bow_tie = Planar({{0, 0}, {2, 2}, {2, 0}, {0, 2}, {-1, 1}, {-1, 0}}, X, Y);
  out.clear();
  TriangulatePolygon(bow_tie.points.data(), bow_tie.corners.data(), 6, &out);
  ASSERT_EQ(out.size(), 12u);
  for (int32_t c : out) {
    EXPECT_GE(c, 0);
    EXPECT_LT(c, 6);
  }
}

// A file's polygons share one budget of corner tests; once it is spent, polygons are cut
// as fans (still n - 2 triangles) and the caller hears of it.
TEST(Triangulate, SpentWorkBudgetCutsTheRestAsAFan) {
  const std::vector<std::pair<float, float>> comb = {{0, 0}, {5, 0}, {5, 3}, {4, 3}, {4, 1}, {3, 1}, {3, 3},
                                                     {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
  const Polygon p = Planar(comb, X, Y);
  const int32_t n = int32_t(comb.size());
  std::vector<int32_t> cut;
  int64_t work = 0;
  EXPECT_TRUE(TriangulatePolygon(p.points.data(), p.corners.data(), n, &cut, &work));
  EXPECT_GT(work, 0);
  std::vector<int32_t> unbudgeted;
  TriangulatePolygon(p.points.data(), p.corners.data(), n, &unbudgeted);
  EXPECT_EQ(cut, unbudgeted) << "counting the work does not change the cut";

  std::vector<int32_t> fan;
  work = TRIANGULATION_WORK_LIMIT + 1;
  EXPECT_FALSE(TriangulatePolygon(p.points.data(), p.corners.data(), n, &fan, &work));
  std::vector<int32_t> expected;
  for (int32_t i = 1; i + 1 < n; ++i) expected.insert(expected.end(), {0, i, i + 1});
  EXPECT_EQ(fan, expected);
}

}  // namespace
