#include "frame_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Output pixel i covers [i * span, (i + 1) * span) of the upscaled line, whose pixel v is
// source pixel v / multiple.
ScaleAxis PlanAxis(int source, int output, int multiple) {
  ScaleAxis axis;
  const double span = static_cast<double>(source) * multiple / output;
  for (int i = 0; i < output; ++i) {
    axis.first_tap.push_back(static_cast<int32_t>(axis.taps.size()));
    const double from = i * span, to = (i + 1) * span;
    for (int s = static_cast<int>(from / multiple); s < source && s * multiple < to; ++s) {
      const double covered = std::min(to, (s + 1.0) * multiple) - std::max(from, static_cast<double>(s) * multiple);
      if (covered > 1e-9) axis.taps.push_back({s, static_cast<float>(covered / span)});
    }
  }
  axis.first_tap.push_back(static_cast<int32_t>(axis.taps.size()));
  return axis;
}

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0l, 255l)); }

}  // namespace

FrameScale PlanFrameScale(int source_width, int source_height, int width, int height) {
  FrameScale scale{};
  scale.source_width = source_width;
  scale.source_height = source_height;
  scale.width = width;
  scale.height = height;
  // The largest picture of the frame's aspect that fits, in whole pixels.
  scale.picture_height = std::min<int64_t>(height, static_cast<int64_t>(width) * source_height / source_width);
  scale.picture_width = static_cast<int32_t>(static_cast<int64_t>(scale.picture_height) * source_width / source_height);
  scale.left = (width - scale.picture_width) / 2;
  scale.top = (height - scale.picture_height) / 2;
  const int by_width = (scale.picture_width + source_width - 1) / source_width;
  const int by_height = (scale.picture_height + source_height - 1) / source_height;
  scale.multiple = std::max({1, by_width, by_height});
  scale.columns = PlanAxis(source_width, scale.picture_width, scale.multiple);
  scale.rows = PlanAxis(source_height, scale.picture_height, scale.multiple);
  scale.between.assign(static_cast<size_t>(source_height) * scale.picture_width * 3, 0.0f);
  return scale;
}

void ScaleFrame(FrameScale* scale, const uint8_t* bgra, int pitch, uint8_t* out) {
  // Across: every source row to the picture's width.
  for (int y = 0; y < scale->source_height; ++y) {
    const uint8_t* row = bgra + static_cast<size_t>(y) * pitch;
    float* to = scale->between.data() + static_cast<size_t>(y) * scale->picture_width * 3;
    for (int x = 0; x < scale->picture_width; ++x) {
      float b = 0, g = 0, r = 0;
      for (int32_t t = scale->columns.first_tap[x]; t < scale->columns.first_tap[x + 1]; ++t) {
        const ScaleTap& tap = scale->columns.taps[t];
        const uint8_t* p = row + static_cast<size_t>(tap.source) * 4;
        b += tap.weight * p[0];
        g += tap.weight * p[1];
        r += tap.weight * p[2];
      }
      to[3 * x] = b;
      to[3 * x + 1] = g;
      to[3 * x + 2] = r;
    }
  }
  // Black round the picture, then down: every output row from the rows it covers.
  std::memset(out, 0, static_cast<size_t>(scale->width) * scale->height * 4);
  for (size_t i = 3; i < static_cast<size_t>(scale->width) * scale->height * 4; i += 4) out[i] = 255;
  for (int y = 0; y < scale->picture_height; ++y) {
    uint8_t* to = out + (static_cast<size_t>(y + scale->top) * scale->width + scale->left) * 4;
    for (int x = 0; x < scale->picture_width; ++x) {
      float b = 0, g = 0, r = 0;
      for (int32_t t = scale->rows.first_tap[y]; t < scale->rows.first_tap[y + 1]; ++t) {
        const ScaleTap& tap = scale->rows.taps[t];
        const float* p = scale->between.data() + (static_cast<size_t>(tap.source) * scale->picture_width + x) * 3;
        b += tap.weight * p[0];
        g += tap.weight * p[1];
        r += tap.weight * p[2];
      }
      to[4 * x] = ToByte(b);
      to[4 * x + 1] = ToByte(g);
      to[4 * x + 2] = ToByte(r);
    }
  }
}
