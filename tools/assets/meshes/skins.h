// The cast's skins and where they lie in the mesh textures.
//
// The scene parts draw every character with a sphere map, which reads only the disc
// inscribed in the 256 x 256 texture (u, v = 128 + 128 n); its four corners are never read
// that way. The meshes also carry a lightmap, the renderer's second layer, which is always
// the first texture the demo registers (texture.png) and is read through each mesh's own
// "Lightmap" UV map: those coordinates lie in the corners, one character's painted skin in
// each. Eyes, mouth, fins and markings are painted there, so they stay on the character
// whichever texture a part gives its mesh.
//
// The renderer combines the layers as (255 - base) x skin / 256, channel by channel, so the
// disc holds the light falling on the skins as its negative (textures.cpp).
//
// A strip runs along the top or bottom edge from a corner, as deep as the disc leaves room:
// s (nose to tail, pole to pole) along the edge, the angle round the body across it, folded
// so that both flanks share the texels (the cast is symmetric).
#pragma once

#include "draw/canvas.h"
#include "meshes/surface.h"

namespace assets {

constexpr int SKIN_TEXTURE_SIZE = 256;  // the renderer addresses textures as 256 x 256 texels

struct SkinStrip {
  bool right;         // the corner: left or right edge of the texture
  bool bottom;        //             top or bottom edge
  float from, to;     // texels from the corner along the edge that s = 0 and s = 1 take
  float head_weight;  // 0 spreads s evenly; up to 1 gives the start (the head) more texels
};

inline constexpr SkinStrip ZIBO_SKIN = {false, false, 2.0f, 86.0f, 0.5f};
inline constexpr SkinStrip MAMMA_SKIN = {true, false, 2.0f, 86.0f, 0.6f};
inline constexpr SkinStrip HEART_SKIN = {false, true, 2.0f, 70.0f, 0.0f};

// The lightmap coordinates of the surface point (s, angle). The poles (s 0 and 1) sit midway
// round.
SurfaceUv SkinCoordinates(const SkinStrip& strip, float s, float angle);

// The surface point a texel of the strip shows, with s and the folded angle (0..pi) clamped
// to the strip; false for texels outside it.
bool SkinParameters(const SkinStrip& strip, float texel_x, float texel_y, float* s, float* folded_angle);

// True for texels the sphere map can read: the disc and a texel's margin round it.
bool InSphereMapDisc(float texel_x, float texel_y);

// Paints Zibo's, Mamma's and the heart's skins into their strips of a 256 x 256 canvas,
// leaving every other texel as it is.
void PaintSkins(Canvas& texture);

}  // namespace assets
