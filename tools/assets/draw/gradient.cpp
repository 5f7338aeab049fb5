#include "draw/gradient.h"

#include <algorithm>

namespace assets {

float SmoothStep(float edge0, float edge1, float x) {
  float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

Color SampleGradient(const Gradient& gradient, float t) {
  if (gradient.empty()) return {0, 0, 0, 0};
  if (t <= gradient.front().at) return gradient.front().colour;
  for (size_t i = 1; i < gradient.size(); ++i) {
    const GradientStop& a = gradient[i - 1];
    const GradientStop& b = gradient[i];
    if (t <= b.at) return Mix(a.colour, b.colour, SmoothStep(a.at, b.at, t));
  }
  return gradient.back().colour;
}

void FillVerticalGradient(Canvas& canvas, const Gradient& gradient, float top, float bottom) {
  ShadeEvery(canvas, [&](float, float y) { return SampleGradient(gradient, (y - top) / (bottom - top)); });
}

}  // namespace assets
