#include "geometry/lwo_triangulate.h"

#include <cmath>

namespace {

struct Point2 {
  double x, y;
};

// Twice the signed area of the triangle a, b, c.
double Cross(Point2 a, Point2 b, Point2 c) { return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x); }

bool SamePlace(Point2 a, Point2 b) { return a.x == b.x && a.y == b.y; }

// Projects the polygon onto the coordinate plane most nearly parallel to it. The plane's
// normal comes from Newell's method, which stays right for concave and slightly
// non-planar polygons.
void ProjectToPlane(const float* points, const int32_t* corners, int32_t n, std::vector<Point2>* projected) {
  double normal[3] = {0, 0, 0};
  for (int32_t i = 0; i < n; ++i) {
    const float* a = points + 3 * corners[i];
    const float* b = points + 3 * corners[(i + 1) % n];
    normal[0] += (double(a[1]) - b[1]) * (double(a[2]) + b[2]);
    normal[1] += (double(a[2]) - b[2]) * (double(a[0]) + b[0]);
    normal[2] += (double(a[0]) - b[0]) * (double(a[1]) + b[1]);
  }
  int axis = 0;
  if (std::fabs(normal[1]) > std::fabs(normal[axis])) axis = 1;
  if (std::fabs(normal[2]) > std::fabs(normal[axis])) axis = 2;
  const int first = (axis + 1) % 3;
  const int second = (axis + 2) % 3;
  projected->resize(n);
  for (int32_t i = 0; i < n; ++i) {
    const float* p = points + 3 * corners[i];
    (*projected)[i] = {p[first], p[second]};
  }
}

double SignedArea(const std::vector<Point2>& polygon) {
  double area = 0;
  const size_t n = polygon.size();
  for (size_t i = 0; i < n; ++i) {
    const Point2 a = polygon[i];
    const Point2 b = polygon[(i + 1) % n];
    area += a.x * b.y - b.x * a.y;
  }
  return area;
}

bool InsideOrOn(Point2 p, Point2 a, Point2 b, Point2 c, double orientation) {
  return Cross(a, b, p) * orientation >= 0 && Cross(b, c, p) * orientation >= 0 &&
         Cross(c, a, p) * orientation >= 0;
}

// The corner at ring[i] is an ear when it turns the polygon's way and no other remaining
// corner lies in the triangle it would cut off. Corners at the same place as one of the
// triangle's (a polygon that touches itself) do not block it.
bool IsEar(const std::vector<Point2>& p, const std::vector<int32_t>& ring, size_t i, double orientation) {
  const size_t m = ring.size();
  const Point2 a = p[ring[(i + m - 1) % m]];
  const Point2 b = p[ring[i]];
  const Point2 c = p[ring[(i + 1) % m]];
  if (Cross(a, b, c) * orientation <= 0) return false;
  for (size_t j = 0; j < m; ++j) {
    if (j == i || j == (i + 1) % m || j == (i + m - 1) % m) continue;
    const Point2 q = p[ring[j]];
    if (SamePlace(q, a) || SamePlace(q, b) || SamePlace(q, c)) continue;
    if (InsideOrOn(q, a, b, c, orientation)) return false;
  }
  return true;
}

// Every corner turns the polygon's way and the outline goes round once (its edges change
// direction along each axis at most twice), so no corner can lie inside another's ear.
bool IsConvex(const std::vector<Point2>& p, double orientation) {
  const size_t n = p.size();
  int x_flips = 0, y_flips = 0;
  double last_dx = 0, last_dy = 0;
  for (size_t i = 0; i <= n; ++i) {
    const Point2 a = p[i % n], b = p[(i + 1) % n], c = p[(i + 2) % n];
    if (i < n && !(Cross(a, b, c) * orientation > 0)) return false;
    const double dx = b.x - a.x, dy = b.y - a.y;
    if (dx != 0) {
      if (last_dx != 0 && (dx > 0) != (last_dx > 0)) ++x_flips;
      last_dx = dx;
    }
    if (dy != 0) {
      if (last_dy != 0 && (dy > 0) != (last_dy > 0)) ++y_flips;
      last_dy = dy;
    }
  }
  return x_flips <= 2 && y_flips <= 2;
}

void Emit(std::vector<int32_t>* out, int32_t a, int32_t b, int32_t c) {
  out->push_back(a);
  out->push_back(b);
  out->push_back(c);
}

}  // namespace

bool TriangulatePolygon(const float* points, const int32_t* corners, int32_t n, std::vector<int32_t>* out,
                        int64_t* work) {
  // Scratch space kept between calls: objects hold many small polygons.
  static thread_local std::vector<Point2> projected;
  static thread_local std::vector<int32_t> ring;
  if (work && *work > TRIANGULATION_WORK_LIMIT) {
    for (int32_t i = 1; i + 1 < n; ++i) Emit(out, 0, i, i + 1);
    return false;
  }
  ProjectToPlane(points, corners, n, &projected);
  const double area = SignedArea(projected);
  if (area == 0 || !std::isfinite(area)) {
    for (int32_t i = 1; i + 1 < n; ++i) Emit(out, 0, i, i + 1);
    return true;
  }
  const double orientation = area > 0 ? 1.0 : -1.0;
  // The fan is what the ear search would cut from a convex polygon, without its n^2 tests.
  if (IsConvex(projected, orientation)) {
    for (int32_t i = 1; i + 1 < n; ++i) Emit(out, 0, i, i + 1);
    if (work) *work += n;
    return true;
  }
  ring.resize(n);
  for (int32_t i = 0; i < n; ++i) ring[i] = i;
  size_t start = 1;
  while (ring.size() > 3) {
    const size_t m = ring.size();
    if (work && *work > TRIANGULATION_WORK_LIMIT) {
      for (size_t i = 1; i + 1 < m; ++i) Emit(out, ring[0], ring[i], ring[i + 1]);
      return false;
    }
    size_t ear = start % m;
    size_t tries = m;
    for (size_t k = 0; k < m; ++k) {
      const size_t i = (start + k) % m;
      if (IsEar(projected, ring, i, orientation)) {
        ear = i;
        tries = k + 1;
        break;
      }
    }
    if (work) *work += static_cast<int64_t>(tries * m);
    // Without an ear (a self-intersecting polygon) the corner at start is cut anyway: the
    // count of triangles stays n - 2 and the loop always ends.
    Emit(out, ring[(ear + m - 1) % m], ring[ear], ring[(ear + 1) % m]);
    ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(ear));
    start = ear;
  }
  Emit(out, ring[0], ring[1], ring[2]);
  return true;
}
