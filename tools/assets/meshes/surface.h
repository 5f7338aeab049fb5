// Smooth closed meshes for the 3D scenes, sampled from a surface function on a grid that
// runs from one pole to the other: rings across, segments around. Characters and props are
// all shapes of this kind (bodies of revolution bent and swollen by their own rules), which
// gives every mesh a UV map for free and keeps a morph target's points in step with its base
// shape: the same grid sampled from another function.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace assets {

struct Vec3 {
  float x, y, z;
};

struct SurfaceGrid {
  int rings;     // bands from pole to pole
  int segments;  // steps around
};

// s runs 0..1 from pole to pole, angle 0..2 pi around; the function must give one point for
// all angles at s = 0 and at s = 1. LightWave coordinates: x right, y up, z away from the
// viewer.
using SurfaceFunction = std::function<Vec3(float s, float angle)>;

// Texture coordinates as the renderer reads them: 0..1 across the texture, v downwards.
struct SurfaceUv {
  float u, v;
};
// Where a surface point (s, angle) lies in the lightmap; called with angle 0 at the poles.
using LightmapFunction = std::function<SurfaceUv(float s, float angle)>;

// The grid's points, in the order the mesh writes them: both poles, then every ring from
// s near 0 to s near 1 with a repeated seam point closing it.
std::vector<Vec3> SampleSurface(SurfaceGrid grid, const SurfaceFunction& at);

// An LWO2 object of the sampled surface: one layer of triangles wound so that their front
// faces look outwards, one surface named surface_name showing image "texture.png" through
// the UV map "uv" (u around, v from pole to pole), and, when lightmap is given, the
// lightmap coordinates of every point in the UV map "Lightmap".
std::vector<uint8_t> SurfaceLwo(SurfaceGrid grid, const SurfaceFunction& at, const char* surface_name,
                                const LightmapFunction& lightmap = nullptr);

}  // namespace assets
