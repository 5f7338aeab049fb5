// The span loops at speed. Texel indices are made four at a time in SSE2 lanes and the
// fetches stay scalar (there is no gather); blending works on the fetched texels in chunks,
// with the mode's blender chosen once per section.
#include "render/span_loops.h"

#include "platform/sse2.h"

#include "render/blend.h"
#include "render/span_walk.h"


namespace {

// Two-layer and blended rows go through a small buffer: gather, then blend the buffer.
constexpr int32_t kChunk = 128;

struct ChunkWork {
  const uint32_t* texels;
  const uint32_t* lightmap;
  BlendSpanFn layer2;  // null for one-layer sections
  BlendSpanFn base;    // null when the texel is copied into the frame
};

void CombinedChunk(const ChunkWork& w, uint32_t* out, const SpanCursor& c, int32_t n) {
  GatherTexels(out, w.texels, c.u, c.v, c.du, c.dv, n);
  if (w.layer2 == nullptr) return;
  alignas(16) uint32_t light[kChunk];
  GatherTexels(light, w.lightmap, c.u2, c.v2, c.du2, c.dv2, n);
  w.layer2(out, out, light, n);
}

void ChunkedRow(const ChunkWork& w, uint32_t* out, SpanCursor c, int32_t n) {
  alignas(16) uint32_t texels[kChunk];
  while (n > 0) {
    const int32_t part = n < kChunk ? n : kChunk;
    if (w.base == nullptr) {
      CombinedChunk(w, out, c, part);
    } else {
      CombinedChunk(w, texels, c, part);
      w.base(out, out, texels, part);
    }
    const uint32_t advanced = static_cast<uint32_t>(part);
    c.u += advanced * c.du;
    c.v += advanced * c.dv;
    c.u2 += advanced * c.du2;
    c.v2 += advanced * c.dv2;
    out += part;
    n -= part;
  }
}

template <bool kTwoLayers>
void FillChunked(const SpanSection& s, const ChunkWork& w) {
  WalkFixed<kTwoLayers>(FixedSectionOf<kTwoLayers>(s), [&](uint32_t* out, const SpanCursor& c, int32_t n) { ChunkedRow(w, out, c, n); });
}

}  // namespace

void FillSectionCopy(const SpanSection& s) {
  const FixedSection section = FixedSectionOf<false>(s);
  WalkFixed<false>(section, CopyRow(s.texels, section.du, section.dv));
}

void FillSectionBlend(const SpanSection& s) {
  FillChunked<false>(s, {s.texels, nullptr, nullptr, BlendSpanFor(g_render.base_blend_mode)});
}

void FillSection2Copy(const SpanSection& s) {
  FillChunked<true>(s, {s.texels, s.lightmap, BlendSpanFor(g_render.layer2_blend_mode), nullptr});
}

void FillSection2Blend(const SpanSection& s) {
  FillChunked<true>(s, {s.texels, s.lightmap, BlendSpanFor(g_render.layer2_blend_mode),
                        BlendSpanFor(g_render.base_blend_mode)});
}
