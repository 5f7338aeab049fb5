// Triangle rasterizers: affine texture mapping in 16.16 fixed point, top-left fill
// convention, no depth buffer and no perspective correction.
// (16.16 fixed point: fixed_point.h.)
#pragma once

#include <cstdint>

#include "render/fixed_point.h"
#include "render/render_context.h"

// Every texture is read as 256 rows of 256 texels.
constexpr int32_t TEXELS_READ = 65536;

// Fill one triangle into g_render.frame; corners need sx, sy and u, v (and u2, v2). The
// texture is read as 256 texels a row, the index wrapping at 65536; a texture with fewer
// than 65536 texels (or none) is not drawn, and a lightmap that cannot be read that way
// leaves the base texture drawn alone. Spans are cut to the frame.
void DrawTexturedTriangle(const Texture* texture, const RenderVertex triangle[3]);
void DrawLightmappedTriangle(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]);
// The same for a triangle whose corners all lie strictly inside the frame (0 < sx < width - 1,
// 0 < sy < height - 1), as the scene pass's draw test leaves them: its corners are not tested
// again, and its spans are walked without cuts.
void DrawLightmappedTriangleInFrame(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]);

// Both routines in their plain form, a value and a pixel at a time (lightmap may be null):
// the reference the fast forms are held to, bit for bit.
void DrawTriangleReference(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]);

// A texture the loops can read: pixels present and at least 65536 of them.
inline bool TextureReadable(const Texture* t) {
  return t != nullptr && t->pixels != nullptr && t->width > 0 && t->height > 0 &&
         static_cast<int64_t>(t->width) * t->height >= TEXELS_READ;
}

// ToFixed on four values at once, as the set-up does it.
void ToFixed4(const float in[4], int32_t out[4]);
