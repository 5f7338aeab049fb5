// Colour ramps: a list of stops at positions 0..1, sampled with smooth easing between stops
// so that ramps have no visible kinks where two stops meet.
#pragma once

#include <initializer_list>
#include <vector>

#include "draw/canvas.h"

namespace assets {

struct GradientStop {
  float at;  // 0..1, ascending
  Color colour;
};

using Gradient = std::vector<GradientStop>;

Color SampleGradient(const Gradient& gradient, float t);
float SmoothStep(float edge0, float edge1, float x);

// Fills the canvas top to bottom: row y takes the gradient at (y - top) / (bottom - top).
void FillVerticalGradient(Canvas& canvas, const Gradient& gradient, float top, float bottom);

}  // namespace assets
