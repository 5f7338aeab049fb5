// The records a triangle's corners travel in from projection through clipping to the
// rasterizers, and the planes they are clipped against.
#pragma once

#include <cstdint>

constexpr int32_t CLIP_PLANE_COUNT = 5;
constexpr int32_t CLIP_POLYGON_SIZE = 20;  // corners a clipped triangle may grow to

// One corner of a triangle as the clipper and the rasterizers take it.
struct RenderVertex {
  float u, v;        // base texture coordinate in texels
  float u2, v2;      // lightmap coordinate in texels
  double x, y, z;    // camera space
  float sx, sy;      // screen position, written by ProjectVertex
  float clip_distance;  // scratch of ClipPolygon
};

struct ClipPlane {
  double nx, ny, nz;
  float d;  // a point is inside when its distance is >= d
};
