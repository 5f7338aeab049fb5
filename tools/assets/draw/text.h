// Anti-aliased text through FreeType. Glyphs are placed at sub-pixel pen positions with
// kerning, rendered into a Mask, and painted with an optional outline and soft shadow, so a
// caption is one call with a style record.
#pragma once

#include <string>
#include <string_view>

#include "draw/canvas.h"
#include "draw/mask.h"
#include "draw/shapes.h"

namespace assets {

struct FontSpec {
  const char* file;  // file name inside the font directory
  float pixel_size;  // em size in pixels
};

struct TextStyle {
  FontSpec font;
  Color fill_top;                 // fill at cap height
  Color fill_bottom;              // fill at the baseline
  float tracking = 0.0f;          // extra pixels after every letter
  float outline_width = 0.0f;     // 0 for none
  Color outline = {0, 0, 0, 0};
  int shadow_blur = 0;            // 0 for a hard shadow
  Vec2 shadow_offset = {0, 0};
  Color shadow = {0, 0, 0, 0};    // alpha 0 for none
};

enum class Align { LEFT, CENTRE, RIGHT };

// Where the fonts live; KRA_FONT_DIR at build time, replaceable (tests point it elsewhere).
void SetFontDirectory(const std::string& directory);
// Releases every open face and the FreeType library.
void CloseFonts();

float MeasureText(const FontSpec& font, std::string_view utf8, float tracking = 0.0f);
float CapHeight(const FontSpec& font);
// Coverage of the text with its pen starting at (x, baseline).
Mask RenderTextMask(const FontSpec& font, std::string_view utf8, float x, float baseline, float tracking = 0.0f);
void DrawText(Canvas& canvas, const TextStyle& style, std::string_view utf8, float x, float baseline,
              Align align = Align::LEFT);

}  // namespace assets
