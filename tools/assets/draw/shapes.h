// Anti-aliased shapes as signed distance functions: negative inside, positive outside, in
// pixels. A shape is filled with one pixel of soft edge, and any shape can be stroked by
// taking the band around its zero line, so speech bubbles, discs and rings share one path.
#pragma once

#include "draw/canvas.h"

namespace assets {

struct Vec2 {
  float x, y;
};

float SdCircle(Vec2 p, Vec2 centre, float radius);
float SdRoundedBox(Vec2 p, Vec2 centre, Vec2 half_size, float corner_radius);
float SdTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c);
float SdUnion(float a, float b);
float SdSmoothUnion(float a, float b, float blend);  // fillets the seam over blend pixels

// Coverage of a pixel whose centre lies at signed distance d from an edge.
float EdgeCoverage(float d);

struct Box {
  int x0, y0, x1, y1;  // [x0, x1) x [y0, y1)
};

template <class Distance>
void FillShape(Canvas& canvas, Box box, Distance distance, Color colour) {
  PaintBox(canvas, box.x0, box.y0, box.x1, box.y1, [&](float x, float y) {
    return WithAlpha(colour, colour.a * EdgeCoverage(distance(Vec2{x, y})));
  });
}

template <class Distance>
void StrokeShape(Canvas& canvas, Box box, Distance distance, float width, Color colour) {
  PaintBox(canvas, box.x0, box.y0, box.x1, box.y1, [&](float x, float y) {
    float d = distance(Vec2{x, y});
    float band = (d < 0.0f ? -d : d) - width * 0.5f;
    return WithAlpha(colour, colour.a * EdgeCoverage(band));
  });
}

void FillDisc(Canvas& canvas, Vec2 centre, float radius, Color colour);
void StrokeRing(Canvas& canvas, Vec2 centre, float radius, float width, Color colour);
// A soft light: alpha falls from colour.a at the centre to 0 at radius along (1 - r)^falloff.
void FillGlow(Canvas& canvas, Vec2 centre, float radius, float falloff, Color colour);

}  // namespace assets
