// The mesh textures: the light in the disc the sphere map reads, the cast's skins in the
// corners the lightmaps read (skins.h).
//
// The renderer's sphere map takes a corner's texel from its camera-space normal, so the disc
// is the light falling on a surface by the way it faces: brighter from above, dimmer and
// bluer from the sea below, with a glossy streak of sky a little above the middle. It is
// stored as its negative, because the renderer combines the layers as (255 - base) x skin.
//
// texture2.png, which the parts give Mamma in "swim" and the puffed-up Zibo, is the same
// picture: each character's colours are its skin, so they cannot change with the texture its
// part hands its mesh, and Mamma looks the same in every scene.
#include <algorithm>
#include <cmath>

#include "draw/gradient.h"
#include "draw/png_writer.h"
#include "meshes/skins.h"
#include "pack/content.h"

namespace assets {

namespace {

// The light by the height the normal looks at: 0 straight down .. 1 straight up.
const Gradient LIGHT_BY_HEIGHT = {{0.0f, Hex(0x4A5878)}, {0.15f, Hex(0x66789A)}, {0.32f, Hex(0xC8CED6)},
                                  {0.45f, Hex(0xE2E4E4)}, {0.6f, Hex(0xF4F2EC)}, {1.0f, Hex(0xFFFDF6)}};
constexpr float GLOSS_HEIGHT = 0.58f, GLOSS_WIDTH = 0.05f, GLOSS = 0.6f;

// nx, ny: the direction the sphere map gives, -1..1, y down the texture as down the screen.
Color SeaLight(float nx, float ny) {
  float r = std::hypot(nx, ny);
  if (r > 1.0f) {
    nx /= r;
    ny /= r;
  }
  float height = 0.5f - 0.5f * ny;
  Color c = SampleGradient(LIGHT_BY_HEIGHT, height);
  float gloss = std::exp(-std::pow((height - GLOSS_HEIGHT) / GLOSS_WIDTH, 2.0f)) * (1.0f - 0.6f * std::abs(nx));
  return Mix(c, Hex(0xFFFFFF), GLOSS * gloss);
}

Color Negative(Color c) { return {1.0f - c.r, 1.0f - c.g, 1.0f - c.b, 1.0f}; }

Canvas PaintMeshTexture() {
  Canvas texture = MakeCanvas(SKIN_TEXTURE_SIZE, SKIN_TEXTURE_SIZE, Hex(0));
  constexpr float HALF = SKIN_TEXTURE_SIZE * 0.5f;
  ShadeEvery(texture, [](float x, float y) { return Negative(SeaLight((x - HALF) / HALF, (y - HALF) / HALF)); });
  PaintSkins(texture);
  return texture;
}

}  // namespace

ContentBytes MakeMeshTexture() { return EncodePng(PaintMeshTexture(), PngKind::RGB); }
ContentBytes MakeSecondMeshTexture() { return MakeMeshTexture(); }

}  // namespace assets
