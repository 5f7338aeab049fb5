// Triangulation of polygons with more than three corners, by ear clipping in the polygon's
// own plane, so concave polygons come out right and every triangle keeps the polygon's
// winding.
#pragma once

#include <cstdint>
#include <vector>

// points: x, y, z per point; corners: the n point indices of the polygon in its order
// (n >= 3). Appends n - 2 triangles to out as three corner positions each (0 .. n - 1, not
// point indices), so callers can carry per-corner data along. A convex polygon gives the
// fan (0, 1, 2), (0, 2, 3), ...; a degenerate one (no area) gives that fan too.
void TriangulatePolygon(const float* points, const int32_t* corners, int32_t n, std::vector<int32_t>* out);
