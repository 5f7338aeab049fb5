// Speech bubbles, drawn over the scenes at fixed places: a rounded balloon with a tail
// towards the speaker, a soft shadow on the scene below it, and a few short lines of text
// sized to fit. They are RGBA: clear around the balloon, the shadow half transparent.
#include <algorithm>
#include <cmath>
#include <vector>

#include "draw/gradient.h"
#include "draw/png_writer.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "images/paintings.h"
#include "images/theme.h"
#include "pack/content.h"

namespace assets {

namespace {

// The scene parts draw bubbles as far right as column 350, so a bubble must stay within
// 512 - 350 = 162 columns to show whole.
constexpr int BUBBLE_WIDTH = 160;
constexpr int BUBBLE_HEIGHT = 96;
constexpr float MARGIN = 3.0f;          // clear border, room for the edge's anti-aliasing
constexpr float SHADOW_OFFSET = 4.0f;
constexpr float SHADOW_SOFTNESS = 3.0f;
constexpr float SHADOW_ALPHA = 0.35f;
constexpr float BODY_HEIGHT = 70.0f;
constexpr float CORNER_RADIUS = 16.0f;
constexpr float OUTLINE_WIDTH = 2.0f;
constexpr float TAIL_ROOT_WIDTH = 30.0f;
constexpr float TEXT_PADDING = 10.0f;
constexpr float LARGEST_TEXT = 15.0f;
constexpr float SMALLEST_TEXT = 9.0f;
constexpr float TEXT_SIZE_STEP = 0.5f;
constexpr float LINE_SPACING = 1.2f;    // line pitch as a multiple of the text size

enum class TailSide { LEFT, RIGHT };

struct BubbleLook {
  Color fill_top;
  Color fill_bottom;
  Color outline;
  Color text;
  Color first_line;  // the first line is the exclamation, in its own colour
  TailSide tail;
};

const BubbleLook ZIBO_LOOK = {palette::WHITE, Hex(0xE4F6FB), palette::INK, palette::INK, Hex(0xE0503F),
                              TailSide::LEFT};
const BubbleLook OBJECT_LOOK = {Hex(0xFFFBEA), Hex(0xF6E7BC), Hex(0x3B2A12), Hex(0x3B2A12), Hex(0x1C7FA6),
                                TailSide::RIGHT};

struct Balloon {
  Vec2 centre, half;
  Vec2 tail_a, tail_b, tail_tip;

  float Distance(Vec2 p) const {
    return SdSmoothUnion(SdRoundedBox(p, centre, half, CORNER_RADIUS), SdTriangle(p, tail_a, tail_b, tail_tip), 4.0f);
  }
};

Balloon MakeBalloon(TailSide side) {
  Balloon b;
  float body_width = float(BUBBLE_WIDTH) - 2.0f * MARGIN - SHADOW_OFFSET;
  b.centre = {MARGIN + body_width * 0.5f, MARGIN + BODY_HEIGHT * 0.5f};
  b.half = {body_width * 0.5f, BODY_HEIGHT * 0.5f};
  float body_bottom = MARGIN + BODY_HEIGHT;
  float tip_row = float(BUBBLE_HEIGHT) - MARGIN - SHADOW_OFFSET;
  // The tail leaves the body a third of the way in and points outwards and down.
  float root = side == TailSide::LEFT ? b.centre.x - b.half.x * 0.45f : b.centre.x + b.half.x * 0.45f;
  float tip = side == TailSide::LEFT ? b.centre.x - b.half.x * 0.8f : b.centre.x + b.half.x * 0.8f;
  b.tail_a = {root - TAIL_ROOT_WIDTH * 0.5f, body_bottom - CORNER_RADIUS};
  b.tail_b = {root + TAIL_ROOT_WIDTH * 0.5f, body_bottom - CORNER_RADIUS};
  b.tail_tip = {tip, tip_row};
  return b;
}

// The largest text size at which every line fits the balloon's width and height.
float FitTextSize(const std::vector<const char*>& lines, float width, float height) {
  for (float size = LARGEST_TEXT; size > SMALLEST_TEXT; size -= TEXT_SIZE_STEP) {
    bool fits = float(lines.size()) * size * LINE_SPACING <= height;
    for (const char* line : lines) fits = fits && MeasureText({FONT_SANS_CONDENSED_BOLD, size}, line) <= width;
    if (fits) return size;
  }
  return SMALLEST_TEXT;
}

Canvas PaintBubble(const BubbleLook& look, const std::vector<const char*>& lines) {
  Canvas canvas = MakeCanvas(BUBBLE_WIDTH, BUBBLE_HEIGHT, {0, 0, 0, 0});
  Balloon balloon = MakeBalloon(look.tail);
  Box all = {0, 0, BUBBLE_WIDTH, BUBBLE_HEIGHT};
  PaintBox(canvas, all.x0, all.y0, all.x1, all.y1, [&](float x, float y) {
    float d = balloon.Distance({x - SHADOW_OFFSET, y - SHADOW_OFFSET});
    return WithAlpha(palette::INK, SHADOW_ALPHA * (1.0f - SmoothStep(-SHADOW_SOFTNESS, SHADOW_SOFTNESS, d)));
  });
  float top = balloon.centre.y - balloon.half.y, bottom = balloon.centre.y + balloon.half.y;
  PaintBox(canvas, all.x0, all.y0, all.x1, all.y1, [&](float x, float y) {
    float coverage = EdgeCoverage(balloon.Distance({x, y}));
    return WithAlpha(Mix(look.fill_top, look.fill_bottom, SmoothStep(top, bottom, y)), coverage);
  });
  StrokeShape(canvas, all, [&](Vec2 p) { return balloon.Distance(p) + OUTLINE_WIDTH * 0.5f; }, OUTLINE_WIDTH,
              look.outline);

  float text_width = balloon.half.x * 2.0f - 2.0f * TEXT_PADDING;
  float text_height = balloon.half.y * 2.0f - TEXT_PADDING;
  float size = FitTextSize(lines, text_width, text_height);
  float pitch = size * LINE_SPACING;
  FontSpec font = {FONT_SANS_CONDENSED_BOLD, size};
  // Centre the block of lines on the body: cap height marks the visible top of a line.
  float block = pitch * float(lines.size() - 1) + CapHeight(font);
  float baseline = balloon.centre.y - block * 0.5f + CapHeight(font);
  for (size_t i = 0; i < lines.size(); ++i) {
    Color ink = i == 0 ? look.first_line : look.text;
    TextStyle style = {.font = font, .fill_top = ink, .fill_bottom = ink};
    DrawText(canvas, style, lines[i], balloon.centre.x, baseline + pitch * float(i), Align::CENTRE);
  }
  return canvas;
}

}  // namespace

Canvas PaintZiboBubble() { return PaintBubble(ZIBO_LOOK, {"Wheee!", "The water is", "just lovely!"}); }

Canvas PaintZiboSecondBubble() {
  return PaintBubble(ZIBO_LOOK, {"Mamma, look!", "I can swim", "all by myself!"});
}

Canvas PaintObjectBubble() { return PaintBubble(OBJECT_LOOK, {"Blub, blub...", "Mind the big", "waves, little one!"}); }

ContentBytes MakeZiboBubble() { return EncodePng(PaintZiboBubble(), PngKind::RGBA); }
ContentBytes MakeZiboSecondBubble() { return EncodePng(PaintZiboSecondBubble(), PngKind::RGBA); }
ContentBytes MakeObjectBubble() { return EncodePng(PaintObjectBubble(), PngKind::RGBA); }

}  // namespace assets
