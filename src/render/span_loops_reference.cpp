// The span loops as plainly as they can be written: one texel and one BlendPixel per pixel.
#include "render/blend.h"
#include "render/span_walk.h"

void FillSectionCopyReference(const SpanSection& s) {
  WalkSection<false>(s, [&](uint32_t* out, SpanCursor c, int32_t n) {
    for (int32_t k = 0; k < n; ++k, c.u += c.du, c.v += c.dv) out[k] = s.texels[TexelIndex(c.u, c.v)];
  });
}

void FillSectionBlendReference(const SpanSection& s) {
  const int32_t mode = g_render.base_blend_mode;
  WalkSection<false>(s, [&](uint32_t* out, SpanCursor c, int32_t n) {
    for (int32_t k = 0; k < n; ++k, c.u += c.du, c.v += c.dv) BlendPixel(mode, &out[k], s.texels[TexelIndex(c.u, c.v)]);
  });
}

namespace {

uint32_t CombinedTexel(const SpanSection& s, const SpanCursor& c, int32_t layer2_mode) {
  uint32_t t = s.texels[TexelIndex(c.u, c.v)];
  BlendPixel(layer2_mode, &t, s.lightmap[TexelIndex(c.u2, c.v2)]);
  return t;
}

void Advance(SpanCursor* c) {
  c->u += c->du;
  c->v += c->dv;
  c->u2 += c->du2;
  c->v2 += c->dv2;
}

}  // namespace

void FillSection2CopyReference(const SpanSection& s) {
  const int32_t layer2 = g_render.layer2_blend_mode;
  WalkSection<true>(s, [&](uint32_t* out, SpanCursor c, int32_t n) {
    for (int32_t k = 0; k < n; ++k, Advance(&c)) out[k] = CombinedTexel(s, c, layer2);
  });
}

void FillSection2BlendReference(const SpanSection& s) {
  const int32_t layer2 = g_render.layer2_blend_mode;
  const int32_t mode = g_render.base_blend_mode;
  WalkSection<true>(s, [&](uint32_t* out, SpanCursor c, int32_t n) {
    for (int32_t k = 0; k < n; ++k, Advance(&c)) BlendPixel(mode, &out[k], CombinedTexel(s, c, layer2));
  });
}
