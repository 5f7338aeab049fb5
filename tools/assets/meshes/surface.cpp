#include "meshes/surface.h"

#include <cmath>
#include <numbers>

#include "geometry/lwo_writer.h"

namespace assets {

namespace {

constexpr float TWO_PI = 2.0f * std::numbers::pi_v<float>;
constexpr int32_t FIRST_POLE = 0, LAST_POLE = 1, FIRST_RING_POINT = 2;

// Point index of ring r (1 .. rings - 1) and column c (0 .. segments, the last repeating
// the first at u = 1 so the UV map can wrap).
int32_t RingPoint(SurfaceGrid grid, int ring, int column) {
  return FIRST_RING_POINT + (ring - 1) * (grid.segments + 1) + column;
}

struct Triangle {
  int32_t a, b, c;
};

// Corners go a, b, c with b one step further round than a and c one ring further on: for a
// surface whose rings advance along its axis this is one winding; which side it faces
// depends on the function, so the caller checks the volume and flips when needed.
std::vector<Triangle> GridTriangles(SurfaceGrid grid) {
  std::vector<Triangle> triangles;
  for (int c = 0; c < grid.segments; ++c) {
    triangles.push_back({RingPoint(grid, 1, c + 1), RingPoint(grid, 1, c), FIRST_POLE});
  }
  for (int r = 1; r + 1 < grid.rings; ++r) {
    for (int c = 0; c < grid.segments; ++c) {
      int32_t p00 = RingPoint(grid, r, c), p01 = RingPoint(grid, r, c + 1);
      int32_t p10 = RingPoint(grid, r + 1, c), p11 = RingPoint(grid, r + 1, c + 1);
      triangles.push_back({p00, p01, p10});
      triangles.push_back({p01, p11, p10});
    }
  }
  int last = grid.rings - 1;
  for (int c = 0; c < grid.segments; ++c) {
    triangles.push_back({RingPoint(grid, last, c), RingPoint(grid, last, c + 1), LAST_POLE});
  }
  return triangles;
}

// Six times the enclosed volume, positive when the triangles' right-hand normals point out.
double SignedVolume(const std::vector<Vec3>& p, const std::vector<Triangle>& triangles) {
  double sum = 0.0;
  for (const Triangle& t : triangles) {
    const Vec3 &a = p[t.a], &b = p[t.b], &c = p[t.c];
    sum += double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) - double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
           double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
  }
  return sum;
}

// LightWave keeps v upwards; the loader flips it back.
void AddLightmapUv(LwoWriterMap* map, int32_t point, SurfaceUv uv) { AddLwoUv(map, point, uv.u, 1.0f - uv.v); }

void AddLightmap(LwoWriterMap* map, SurfaceGrid grid, const LightmapFunction& lightmap) {
  AddLightmapUv(map, FIRST_POLE, lightmap(0.0f, 0.0f));
  AddLightmapUv(map, LAST_POLE, lightmap(1.0f, 0.0f));
  for (int r = 1; r < grid.rings; ++r) {
    float s = float(r) / float(grid.rings);
    for (int c = 0; c <= grid.segments; ++c) {
      AddLightmapUv(map, RingPoint(grid, r, c), lightmap(s, TWO_PI * float(c % grid.segments) / float(grid.segments)));
    }
  }
}

}  // namespace

std::vector<Vec3> SampleSurface(SurfaceGrid grid, const SurfaceFunction& at) {
  std::vector<Vec3> points = {at(0.0f, 0.0f), at(1.0f, 0.0f)};
  for (int r = 1; r < grid.rings; ++r) {
    float s = float(r) / float(grid.rings);
    for (int c = 0; c <= grid.segments; ++c) {
      points.push_back(at(s, TWO_PI * float(c % grid.segments) / float(grid.segments)));
    }
  }
  return points;
}

std::vector<uint8_t> SurfaceLwo(SurfaceGrid grid, const SurfaceFunction& at, const char* surface_name,
                                const LightmapFunction& lightmap) {
  std::vector<Vec3> points = SampleSurface(grid, at);
  std::vector<Triangle> triangles = GridTriangles(grid);
  // LightWave draws a polygon whose corners run clockwise as seen from outside; with y up
  // and z away from the viewer that is a right-hand normal pointing out.
  bool flip = SignedVolume(points, triangles) < 0.0;

  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, surface_name);
  for (const Vec3& p : points) AddLwoPoint(layer, p.x, p.y, p.z);
  for (const Triangle& t : triangles) {
    AddLwoPolygon(layer, flip ? std::vector<int32_t>{t.a, t.c, t.b} : std::vector<int32_t>{t.a, t.b, t.c},
                  surface_name);
  }
  LwoWriterMap* uv = AddLwoUvMap(layer, "uv");
  AddLwoUv(uv, FIRST_POLE, 0.5f, 1.0f);
  AddLwoUv(uv, LAST_POLE, 0.5f, 0.0f);
  for (int r = 1; r < grid.rings; ++r) {
    for (int c = 0; c <= grid.segments; ++c) {
      AddLwoUv(uv, RingPoint(grid, r, c), float(c) / float(grid.segments), 1.0f - float(r) / float(grid.rings));
    }
  }
  if (lightmap) AddLightmap(AddLwoUvMap(layer, "Lightmap"), grid, lightmap);
  AddLwoClip(&writer, 1, "texture.png");
  AddLwoSurface(&writer, surface_name, 1.0f, 1.0f, 1.0f, "uv", 1);
  return WriteLwo(writer);
}

}  // namespace assets
