// Textures for the scenes' meshes. The scene parts switch these meshes to sphere mapping:
// texture coordinates come from the camera-space normal, u = 128 + 128 nx, v = 128 + 128 ny,
// so each texture is the picture of a shiny ball ("matcap") reflecting a sea-side world.
// The first is lagoon glass, cool and bright; the second, which the morphed shape takes, is
// sunset chrome.
#include <algorithm>
#include <cmath>

#include "draw/gradient.h"
#include "draw/noise.h"
#include "draw/png_writer.h"
#include "images/paintings.h"
#include "images/theme.h"
#include "pack/content.h"

namespace assets {

namespace {

constexpr int TEXTURE_SIZE = 256;  // the renderer addresses textures as 256 x 256 texels

struct Vec3 {
  float x, y, z;
};

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Normalize(Vec3 v) {
  float length = std::sqrt(Dot(v, v));
  return {v.x / length, v.y / length, v.z / length};
}

struct MatcapLook {
  Gradient world;       // what the ball reflects, by elevation: 0 straight up, 1 straight down
  float horizon_sharpness;  // how crisply the reflected horizon is drawn
  Color body;           // the material's own colour
  float reflectivity;   // 0 plain body .. 1 pure mirror, at the centre of the ball
  Color highlight;
  float highlight_power;
  Color rim;            // light grazing the ball's edge
  float ripple;         // strength of the wavy distortion of the reflection
  uint32_t seed;
};

// Light comes from above, a little to the left and in front (image y runs down).
const Vec3 LIGHT = Normalize({-0.45f, -0.6f, 0.65f});
constexpr float RIM_POWER = 3.0f;
constexpr float RIPPLE_SCALE = 6.0f;  // ripples across the ball

Color ShadeMatcap(const MatcapLook& look, float u, float v) {
  // The texel's normal; texels outside the ball repeat the rim, where no normal points.
  float nx = (u - TEXTURE_SIZE * 0.5f) / (TEXTURE_SIZE * 0.5f);
  float ny = (v - TEXTURE_SIZE * 0.5f) / (TEXTURE_SIZE * 0.5f);
  float r2 = nx * nx + ny * ny;
  if (r2 > 1.0f) {
    float r = std::sqrt(r2);
    nx /= r;
    ny /= r;
    r2 = 1.0f;
  }
  Vec3 n = {nx, ny, std::sqrt(std::max(0.0f, 1.0f - r2))};
  // Reflect the view direction (0, 0, -1) about the normal.
  Vec3 reflected = {2.0f * n.z * n.x, 2.0f * n.z * n.y, 2.0f * n.z * n.z - 1.0f};
  // Ripples follow the normal, not the texel, so the area outside the ball repeats its rim.
  float wobble = look.ripple * (ValueNoise(n.x * RIPPLE_SCALE, n.y * RIPPLE_SCALE, look.seed) - 0.5f);
  float elevation = std::clamp(0.5f + 0.5f * (reflected.y + wobble), 0.0f, 1.0f);
  // Sharpen the ramp around the horizon (0.5) for a crisp chrome line.
  float shaped = 0.5f + std::tanh((elevation - 0.5f) * look.horizon_sharpness) /
                            (2.0f * std::tanh(0.5f * look.horizon_sharpness));
  Color world = SampleGradient(look.world, shaped);

  float diffuse = std::max(0.0f, Dot(n, LIGHT));
  Color body = Scale(look.body, 0.35f + 0.65f * diffuse);
  float fresnel = std::pow(1.0f - n.z, RIM_POWER);
  Color c = Mix(body, world, std::clamp(look.reflectivity + (1.0f - look.reflectivity) * fresnel, 0.0f, 1.0f));
  float specular = std::pow(std::max(0.0f, Dot(reflected, LIGHT)), look.highlight_power);
  c = Mix(c, look.highlight, std::min(1.0f, specular * look.highlight.a));
  c = Mix(c, look.rim, look.rim.a * fresnel);
  return WithAlpha(c, 1.0f);
}

Canvas PaintMatcap(const MatcapLook& look) {
  Canvas canvas = MakeCanvas(TEXTURE_SIZE, TEXTURE_SIZE, palette::INK);
  ShadeEvery(canvas, [&](float u, float v) { return ShadeMatcap(look, u, v); });
  return canvas;
}

const MatcapLook LAGOON_GLASS = {.world = {{0.0f, Hex(0x2C86D8)},
                                           {0.42f, Hex(0x9FDDF2)},
                                           {0.5f, Hex(0xF4FCFF)},
                                           {0.55f, Hex(0x3FB8C8)},
                                           {1.0f, Hex(0x0B4066)}},
                                 .horizon_sharpness = 3.0f,
                                 .body = Hex(0x1E9BB0),
                                 .reflectivity = 0.55f,
                                 .highlight = Hex(0xFFFFFF),
                                 .highlight_power = 40.0f,
                                 .rim = Hex(0xCFF6FF, 0.6f),
                                 .ripple = 0.25f,
                                 .seed = 0x1A600Bu};

const MatcapLook SUNSET_CHROME = {.world = {{0.0f, Hex(0x6A3A9A)},
                                            {0.25f, Hex(0xE0609A)},
                                            {0.44f, Hex(0xFFB070)},
                                            {0.5f, Hex(0xFFF6D0)},
                                            {0.53f, Hex(0x5A2A70)},
                                            {0.7f, Hex(0xB04880)},
                                            {1.0f, Hex(0x3A1A50)}},
                                  .horizon_sharpness = 6.0f,
                                  .body = Hex(0xF08050),
                                  .reflectivity = 0.7f,
                                  .highlight = Hex(0xFFF6E0),
                                  .highlight_power = 60.0f,
                                  .rim = Hex(0xFFC890, 0.5f),
                                  .ripple = 0.15f,
                                  .seed = 0x5C4A0Eu};

}  // namespace

Canvas PaintMeshTexture() { return PaintMatcap(LAGOON_GLASS); }
Canvas PaintSecondMeshTexture() { return PaintMatcap(SUNSET_CHROME); }

ContentBytes MakeMeshTexture() { return EncodePng(PaintMeshTexture(), PngKind::RGB); }
ContentBytes MakeSecondMeshTexture() { return EncodePng(PaintSecondMeshTexture(), PngKind::RGB); }

}  // namespace assets
