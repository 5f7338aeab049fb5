// Triangulation of polygons with more than three corners, by ear clipping in the polygon's
// own plane, so concave polygons come out right and every triangle keeps the polygon's
// winding.
#pragma once

#include <cstdint>
#include <vector>

// Ear clipping costs up to n^3 corner tests on a polygon that is not simple (a file's
// polygons have up to 1023 corners), so a file's polygons share this budget of tests; past
// it the remaining corners of a polygon are cut as a fan, which keeps a hostile file from
// taking minutes to load. A concave polygon of 1023 corners takes about a million; a
// convex one is fanned at once for n tests.
constexpr int64_t TRIANGULATION_WORK_LIMIT = int64_t(1) << 24;
// The budget grows by this much for every corner a file has, so big files of ordinary
// polygons never run out while the work stays linear in the file's size.
constexpr int64_t TRIANGULATION_WORK_PER_CORNER = 64;

// points: x, y, z per point; corners: the n point indices of the polygon in its order
// (n >= 3). Appends n - 2 triangles to out as three corner positions each (0 .. n - 1, not
// point indices), so callers can carry per-corner data along. A convex polygon gives the
// fan (0, 1, 2), (0, 2, 3), ...; a degenerate one (no area) gives that fan too.
// work, when given, counts the corner tests made over calls; once it passes
// TRIANGULATION_WORK_LIMIT what is left of a polygon is cut as a fan. Returns false when
// that happened to this polygon.
bool TriangulatePolygon(const float* points, const int32_t* corners, int32_t n, std::vector<int32_t>* out,
                        int64_t* work = nullptr);
