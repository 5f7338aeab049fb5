// Helpers of the renderer tests: a renderer over a frame of its own, solid textures, and
// scenes of small meshes built in place.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "geometry/mesh.h"
#include "render/render_context.h"
#include "resource/texture_table.h"
#include "scene/scene.h"

namespace render_test {

constexpr uint32_t WHITE_PIXEL = 0xFFFFFFFF, GREEN_PIXEL = 0xFF00FF00, RED_PIXEL = 0xFFFF0000;

using Corner = std::array<float, 3>;  // mesh x, y (down, as the loader stores it), z

// A mesh with one vertex per corner, normals (0, 0, 1) and texture coordinates 0.
inline Mesh* AddCornerMesh(Scene* scene, const std::vector<Corner>& corners, TextureRef* texture) {
  Mesh* mesh = AddMesh(scene);
  const int32_t n = static_cast<int32_t>(corners.size());
  mesh->vertices = new MeshVertex[n]();
  mesh->vertex_count = n;
  mesh->triangle_count = n / 3;
  mesh->triangles = AllocateMeshTriangles(n / 3);
  for (int32_t i = 0; i < n; ++i) mesh->vertices[i] = MeshVertex{corners[i][0], corners[i][1], corners[i][2], 0, 0, 1, 0, 0};
  for (int32_t t = 0; t < n / 3; ++t) {
    MeshTriangle& tri = mesh->triangles[t];
    tri.index0 = static_cast<int16_t>(3 * t), tri.index1 = static_cast<int16_t>(3 * t + 1), tri.index2 = static_cast<int16_t>(3 * t + 2);
  }
  mesh->surface_count = texture ? 1 : 0;
  mesh->surface_textures[0] = texture;
  return mesh;
}

// The default camera stands at z = 20 looking down -z, so mesh z = 0 is 20 deep in camera
// space. This triangle, right and down from (x, y), faces the camera.
inline std::vector<Corner> FacingTriangle(float x, float y, float size) {
  return {Corner{x, y, 0}, Corner{x + size, y, 0}, Corner{x, y + size, 0}};
}

// Corners alike bit for bit, field by field (the record has padding, which memcmp would read).
inline bool SameCorners(const RenderVertex* a, const RenderVertex* b, int count) {
  auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  for (int k = 0; k < count; ++k) {
    if (!same(a[k].u, b[k].u) || !same(a[k].v, b[k].v) || !same(a[k].u2, b[k].u2) || !same(a[k].v2, b[k].v2) ||
        !same(a[k].x, b[k].x) || !same(a[k].y, b[k].y) || !same(a[k].z, b[k].z) || !same(a[k].sx, b[k].sx) ||
        !same(a[k].sy, b[k].sy)) {
      return false;
    }
  }
  return true;
}

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseTextureTable();
    InitRenderer(frame_);
    RenderEnable(CAP_TEXTURE);
    scene_.time = 1.0f;
  }
  void TearDown() override {
    FreeScene(&scene_);
    ReleaseRenderer();
  }

  // A 256 x 256 texture of one colour, registered, with a scene reference to it.
  TextureRef* SolidTexture(uint32_t colour) {
    std::vector<uint32_t> texels(TEXTURE_SIZE * TEXTURE_SIZE, colour);
    TextureRef* ref = &scene_.textures[scene_.texture_count++];
    ref->id = RegisterTexture(TEXTURE_SIZE, TEXTURE_SIZE, 4, texels.data());
    return ref;
  }
  uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * 512 + x]; }
  int CountPixels(uint32_t colour) const { return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), colour)); }

  std::vector<uint32_t> pixels_ = std::vector<uint32_t>(512 * 384, 0);
  Texture frame_{512, 384, pixels_.data(), 0};
  Scene scene_;
};

}  // namespace render_test
