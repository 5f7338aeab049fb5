#include "draw/mask.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

constexpr int BOX_PASSES = 3;

// One box pass along a row or column of n values spaced stride apart.
void BoxPass(float* values, int n, int stride, int radius, std::vector<float>& scratch) {
  scratch.assign(size_t(n), 0.0f);
  float window = 0.0f;
  float norm = 1.0f / float(2 * radius + 1);
  auto at = [&](int i) { return (i >= 0 && i < n) ? values[size_t(i) * size_t(stride)] : 0.0f; };
  for (int i = -radius; i <= radius; ++i) window += at(i);
  for (int i = 0; i < n; ++i) {
    scratch[size_t(i)] = window * norm;
    window += at(i + radius + 1) - at(i - radius);
  }
  for (int i = 0; i < n; ++i) values[size_t(i) * size_t(stride)] = scratch[size_t(i)];
}

}  // namespace

Mask MakeMask(int x0, int y0, int width, int height) {
  return Mask{x0, y0, width, height, std::vector<float>(size_t(width) * size_t(height), 0.0f)};
}

float MaskAt(const Mask& mask, int canvas_x, int canvas_y) {
  int x = canvas_x - mask.x0, y = canvas_y - mask.y0;
  if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return 0.0f;
  return mask.value[size_t(y) * size_t(mask.width) + size_t(x)];
}

void AddToMask(Mask& mask, int canvas_x, int canvas_y, float coverage) {
  int x = canvas_x - mask.x0, y = canvas_y - mask.y0;
  if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return;
  float& v = mask.value[size_t(y) * size_t(mask.width) + size_t(x)];
  v = std::min(1.0f, v + coverage);
}

Mask DilateMask(const Mask& mask, float radius) {
  int reach = int(std::ceil(radius));
  Mask grown = MakeMask(mask.x0 - reach, mask.y0 - reach, mask.width + 2 * reach, mask.height + 2 * reach);
  // Pen footprint: offsets within the radius with their edge coverage.
  struct Tap {
    int dx, dy;
    float weight;
  };
  std::vector<Tap> pen;
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      float w = std::clamp(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)), 0.0f, 1.0f);
      if (w > 0.0f) pen.push_back({dx, dy, w});
    }
  }
  for (int y = 0; y < grown.height; ++y) {
    for (int x = 0; x < grown.width; ++x) {
      float best = 0.0f;
      for (const Tap& t : pen) {
        best = std::max(best, t.weight * MaskAt(mask, grown.x0 + x + t.dx, grown.y0 + y + t.dy));
      }
      grown.value[size_t(y) * size_t(grown.width) + size_t(x)] = best;
    }
  }
  return grown;
}

Mask BlurMask(const Mask& mask, int radius) {
  int reach = radius * BOX_PASSES;
  Mask blurred = MakeMask(mask.x0 - reach, mask.y0 - reach, mask.width + 2 * reach, mask.height + 2 * reach);
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      blurred.value[size_t(y + reach) * size_t(blurred.width) + size_t(x + reach)] =
          mask.value[size_t(y) * size_t(mask.width) + size_t(x)];
    }
  }
  std::vector<float> scratch;
  for (int pass = 0; pass < BOX_PASSES; ++pass) {
    for (int y = 0; y < blurred.height; ++y) {
      BoxPass(&blurred.value[size_t(y) * size_t(blurred.width)], blurred.width, 1, radius, scratch);
    }
    for (int x = 0; x < blurred.width; ++x) {
      BoxPass(&blurred.value[size_t(x)], blurred.height, blurred.width, radius, scratch);
    }
  }
  return blurred;
}

}  // namespace assets
