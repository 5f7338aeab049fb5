#include "images/icon.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "images/paintings.h"
#include "draw/png_writer.h"
#include "draw/shapes.h"

namespace assets {

namespace {

// The square of the title card that holds the title and its subtitle, in card pixels.
constexpr int CROP_X = 80, CROP_Y = 0, CROP_SIZE = 352;
// Corner radius as a share of the icon's side, as desktop icons are commonly drawn.
constexpr float CORNER_SHARE = 0.16f;

// Area average of the square (x0, y0, size) of source into a size_out canvas: premultiplied
// pixels average without dark fringes.
Canvas Downscale(const Canvas& source, int x0, int y0, int size, int size_out) {
  Canvas out = MakeCanvas(size_out, size_out, Color{0, 0, 0, 0});
  const float step = float(size) / float(size_out);
  for (int oy = 0; oy < size_out; ++oy) {
    for (int ox = 0; ox < size_out; ++ox) {
      Color sum = {0, 0, 0, 0};
      float weight = 0.0f;
      const float fx0 = float(x0) + float(ox) * step, fy0 = float(y0) + float(oy) * step;
      for (int sy = int(fy0); sy < int(fy0 + step + 0.999f) && sy < source.height; ++sy) {
        const float wy = std::min(fy0 + step, float(sy + 1)) - std::max(fy0, float(sy));
        for (int sx = int(fx0); sx < int(fx0 + step + 0.999f) && sx < source.width; ++sx) {
          const float w = wy * (std::min(fx0 + step, float(sx + 1)) - std::max(fx0, float(sx)));
          if (w <= 0.0f) continue;
          const Color& p = source.pixels[size_t(sy) * size_t(source.width) + size_t(sx)];
          sum = {sum.r + p.r * w, sum.g + p.g * w, sum.b + p.b * w, sum.a + p.a * w};
          weight += w;
        }
      }
      if (weight > 0.0f) {
        out.pixels[size_t(oy) * size_t(size_out) + size_t(ox)] = {sum.r / weight, sum.g / weight,
                                                                   sum.b / weight, sum.a / weight};
      }
    }
  }
  return out;
}

// Cuts the corners round: every premultiplied pixel scaled by its coverage.
void RoundCorners(Canvas& icon) {
  const float half = float(icon.width) * 0.5f;
  for (int y = 0; y < icon.height; ++y) {
    for (int x = 0; x < icon.width; ++x) {
      const float d = SdRoundedBox(Vec2{float(x) + 0.5f, float(y) + 0.5f}, Vec2{half, half}, Vec2{half, half},
                                   CORNER_SHARE * float(icon.width));
      const float coverage = EdgeCoverage(d);
      Color& p = icon.pixels[size_t(y) * size_t(icon.width) + size_t(x)];
      p = {p.r * coverage, p.g * coverage, p.b * coverage, p.a * coverage};
    }
  }
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  FILE* f = ec ? nullptr : std::fopen(path.string().c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok && error) *error = "cannot write " + path.string();
  return ok;
}

}  // namespace

bool WriteIcons(const std::string& dir, std::string* error) {
  const Canvas card = PaintTitleCard();
  for (int size : ICON_SIZES) {
    Canvas icon = Downscale(card, CROP_X, CROP_Y, CROP_SIZE, size);
    RoundCorners(icon);
    const std::string theme_dir = std::to_string(size) + "x" + std::to_string(size);
    if (!WriteFile(std::filesystem::path(dir) / theme_dir / "apps" / "kra.png", EncodePng(icon, PngKind::RGBA), error)) {
      return false;
    }
  }
  return true;
}

}  // namespace assets
