#include "display/overlay_text.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kScale = 2;
constexpr int kGlyphWidth = 3;
constexpr int kGlyphHeight = 5;
constexpr int kAdvance = (kGlyphWidth + 1) * kScale;
constexpr int kPadding = 3;
constexpr uint32_t kInk = 0xFFFFFFFFu;
constexpr uint32_t kBox = 0xFF202020u;

// Five rows of three bits, the leftmost pixel in the highest bit.
struct Glyph {
  char c;
  uint8_t rows[kGlyphHeight];
};

constexpr Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 3, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 2, 2}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}},
    {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}},
    {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}}, {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}},
    {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}},
    {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}}, {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}},
    {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}}, {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}},
    {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}}, {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}},
    {'.', {0, 0, 0, 0, 2}}, {':', {0, 2, 0, 2, 0}}, {'-', {0, 0, 7, 0, 0}}, {'%', {5, 1, 2, 4, 5}},
    {'/', {1, 1, 2, 4, 4}}, {',', {0, 0, 0, 2, 4}}, {'?', {6, 1, 2, 0, 2}}, {'+', {0, 2, 7, 2, 0}},
    {'<', {1, 2, 4, 2, 1}}, {'>', {4, 2, 1, 2, 4}}, {'(', {1, 2, 2, 2, 1}}, {')', {4, 2, 2, 2, 4}},
};

const Glyph* FindGlyph(char c) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const Glyph& glyph : kGlyphs) {
    if (glyph.c == upper) return &glyph;
  }
  return nullptr;
}

}  // namespace

void FillOverlayRect(const Texture& frame, int x0, int y0, int x1, int y1, uint32_t colour) {
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > frame.width) x1 = frame.width;
  if (y1 > frame.height) y1 = frame.height;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) frame.pixels[static_cast<size_t>(y) * frame.width + x] = colour;
  }
}

namespace {

void DrawGlyph(const Texture& frame, int x, int y, const Glyph& glyph) {
  for (int row = 0; row < kGlyphHeight; ++row) {
    for (int col = 0; col < kGlyphWidth; ++col) {
      if (!(glyph.rows[row] & (4 >> col))) continue;
      const int px = x + col * kScale, py = y + row * kScale;
      FillOverlayRect(frame, px, py, px + kScale, py + kScale, kInk);
    }
  }
}

}  // namespace

int OverlayTextWidth(const char* text) {
  return static_cast<int>(std::strlen(text)) * kAdvance - kScale + 2 * kPadding;
}

int OverlayTextHeight() { return kGlyphHeight * kScale + 2 * kPadding; }

void DrawOverlayText(const Texture& frame, int x, int y, const char* text) {
  if (!frame.pixels) return;
  FillOverlayRect(frame, x, y, x + OverlayTextWidth(text), y + OverlayTextHeight(), kBox);
  int pen = x + kPadding;
  for (const char* c = text; *c; ++c, pen += kAdvance) {
    if (const Glyph* glyph = FindGlyph(*c)) DrawGlyph(frame, pen, y + kPadding, *glyph);
  }
}
