// Triangle rasterizers: affine texture mapping in 16.16 fixed point, top-left fill
// convention, no depth buffer and no perspective correction.
//
// 16.16 fixed point: a signed 32-bit integer whose upper 16 bits are the integer part.
// Values that do not fit (and NaN) become 0x7FFF0000.
#pragma once

#include <cstdint>

#include "render/render_context.h"

constexpr int32_t FIXED_DOES_NOT_FIT = 0x7FFF0000;
// Every texture is read as 256 rows of 256 texels.
constexpr int32_t TEXELS_READ = 65536;

int32_t ToFixed(float f);
// The smallest integer not below a / 65536.
inline int32_t Ceil16(int32_t a) { return (int32_t)(((int64_t)a + 0xFFFF) >> 16); }

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
bool TextureReadable(const Texture* texture);

// ToFixed on four values at once, as the set-up does it.
void ToFixed4(const float in[4], int32_t out[4]);
