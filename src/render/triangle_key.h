// A pooled triangle's key, read off its three vertices when it is emitted: culled, or its
// depth for the back-to-front sort with a mark when it needs no clipping. Inline, so the
// emission loop has it without a call.
#pragma once

#include <cstdint>

#include "render/render_context.h"

// The depth key of a triangle from its three camera depths: larger is farther. Mean depths
// past about 508 clamp at 65535 instead of wrapping round to near keys.
inline uint32_t DepthKey(double z0, double z1, double z2) {
  const double scaled = ((z2 + z1 + z0) * 0.3333333333333333 + 500) * 65;
  if (!(scaled > 0.0)) return 0;  // NaN too
  if (scaled >= 65535.0) return 65535;
  return (uint32_t)scaled;
}

// The pass's verdict on the triangle of three pool vertices: its depth key when the corners
// run clockwise on the screen (y down) or are collinear, no corner is behind the eye, and at
// least one corner lies on the screen, with KEY_INSIDE_PLANES when no clipping is needed;
// CULLED_TRIANGLE otherwise. Read off the vertices' positions and flags.
inline __attribute__((always_inline)) uint32_t TriangleKey(const ScreenVertex* screen, const CameraVertex* camera,
                                                           const int32_t vertex[3]) {
  const ScreenVertex &a = screen[vertex[0]], &b = screen[vertex[1]], &c = screen[vertex[2]];
  const float cross = (b.sx - a.sx) * (c.sy - a.sy) - (b.sy - a.sy) * (c.sx - a.sx);
  if (cross < 0.0f) return CULLED_TRIANGLE;
  const CameraVertex &p = camera[vertex[0]], &q = camera[vertex[1]], &w = camera[vertex[2]];
  const uint32_t any = p.flags | q.flags | w.flags;
  if ((any & VERTEX_BEHIND_EYE) || !(any & VERTEX_ON_SCREEN)) return CULLED_TRIANGLE;
  const bool inside = (p.flags & q.flags & w.flags & VERTEX_INSIDE_PLANES) != 0;
  return DepthKey(p.z, q.z, w.z) | (inside ? KEY_INSIDE_PLANES : 0);
}
