#include "draw/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <vector>


namespace assets {

namespace {

constexpr float FIXED_26_6 = 64.0f;  // FreeType's 26.6 fixed point
constexpr float FIXED_16_16 = 65536.0f;
constexpr int MASK_MARGIN = 2;       // pixels around the measured box for glyph overhang

// The one FreeType library of the tool and its open faces, by file name.
struct FontState {
  FT_Library library = nullptr;
  std::map<std::string, FT_Face> faces;
  std::string directory = KRA_FONT_DIR;
};
FontState g_fonts;

FT_Face OpenFace(const FontSpec& font) {
  if (!g_fonts.library && FT_Init_FreeType(&g_fonts.library) != 0) {
    throw std::runtime_error("kra-assets: FreeType does not start");
  }
  auto found = g_fonts.faces.find(font.file);
  FT_Face face = nullptr;
  if (found != g_fonts.faces.end()) {
    face = found->second;
  } else {
    std::string path = g_fonts.directory + "/" + font.file;
    FT_Error error = FT_New_Face(g_fonts.library, path.c_str(), 0, &face);
    if (error != 0) {
      throw std::runtime_error("kra-assets: cannot open font " + path + " (FreeType error " +
                               std::to_string(error) + "); install fonts-dejavu-core and fonts-dejavu-extra");
    }
    g_fonts.faces[font.file] = face;
  }
  FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(font.pixel_size * FIXED_26_6)), 0, 0);
  return face;
}

// Decodes UTF-8; malformed bytes come out as '?', so a caption never stops the tool.
std::vector<uint32_t> DecodeUtf8(std::string_view text) {
  std::vector<uint32_t> codes;
  size_t i = 0;
  while (i < text.size()) {
    uint8_t lead = uint8_t(text[i]);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    bool ok = extra >= 0 && i + size_t(extra) < text.size();
    uint32_t code = extra <= 0 ? lead : lead & (0x3Fu >> extra);
    for (int k = 1; ok && k <= extra; ++k) {
      uint8_t next = uint8_t(text[i + size_t(k)]);
      ok = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    codes.push_back(ok ? code : uint32_t('?'));
    i += ok ? size_t(extra) + 1 : 1;
  }
  return codes;
}

// Walks the glyphs of a line: visit(glyph_index, pen_x) with the pen in pixels.
template <class Visit>
float WalkGlyphs(FT_Face face, std::string_view text, float x, float tracking, Visit visit) {
  float pen = x;
  FT_UInt previous = 0;
  for (uint32_t code : DecodeUtf8(text)) {
    FT_UInt glyph = FT_Get_Char_Index(face, code);
    if (previous != 0 && glyph != 0 && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNFITTED, &kern) == 0) pen += float(kern.x) / FIXED_26_6;
    }
    float advance = visit(glyph, pen);
    pen += advance + tracking;
    previous = glyph;
  }
  return pen - x;
}

// Loads a glyph with its origin at the given fractional pen offset; returns the advance.
float LoadGlyph(FT_Face face, FT_UInt glyph, float fraction, bool render) {
  FT_Vector delta = {FT_Pos(std::lround(fraction * FIXED_26_6)), 0};
  FT_Set_Transform(face, nullptr, &delta);
  FT_Int32 flags = FT_LOAD_TARGET_LIGHT | (render ? FT_LOAD_RENDER : 0);
  if (FT_Load_Glyph(face, glyph, flags) != 0) return 0.0f;
  return float(face->glyph->linearHoriAdvance) / FIXED_16_16;
}

}  // namespace

void SetFontDirectory(const std::string& directory) {
  CloseFonts();
  g_fonts.directory = directory;
}

void CloseFonts() {
  for (auto& [name, face] : g_fonts.faces) FT_Done_Face(face);
  g_fonts.faces.clear();
  if (g_fonts.library) FT_Done_FreeType(g_fonts.library);
  g_fonts.library = nullptr;
}

float MeasureText(const FontSpec& font, std::string_view utf8, float tracking) {
  FT_Face face = OpenFace(font);
  float width = WalkGlyphs(face, utf8, 0.0f, tracking,
                           [&](FT_UInt glyph, float) { return LoadGlyph(face, glyph, 0.0f, false); });
  return width - (utf8.empty() ? 0.0f : tracking);
}

float CapHeight(const FontSpec& font) {
  FT_Face face = OpenFace(font);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->sCapHeight > 0) return float(os2->sCapHeight) * font.pixel_size / float(face->units_per_EM);
  return float(face->size->metrics.ascender) / FIXED_26_6;
}

Mask RenderTextMask(const FontSpec& font, std::string_view utf8, float x, float baseline, float tracking) {
  FT_Face face = OpenFace(font);
  float width = MeasureText(font, utf8, tracking);
  float ascent = float(face->size->metrics.ascender) / FIXED_26_6;
  float descent = -float(face->size->metrics.descender) / FIXED_26_6;
  // Italic and bold glyphs overhang their advance; a quarter em each side covers DejaVu.
  int overhang = int(std::ceil(font.pixel_size * 0.25f)) + MASK_MARGIN;
  Mask mask = MakeMask(int(std::floor(x)) - overhang, int(std::floor(baseline - ascent)) - MASK_MARGIN,
                       int(std::ceil(width)) + 2 * overhang, int(std::ceil(ascent + descent)) + 2 * MASK_MARGIN);
  WalkGlyphs(face, utf8, x, tracking, [&](FT_UInt glyph, float pen) {
    float whole = std::floor(pen);
    float advance = LoadGlyph(face, glyph, pen - whole, true);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    int left = int(whole) + face->glyph->bitmap_left;
    int top = int(std::lround(baseline)) - face->glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned col = 0; col < bitmap.width; ++col) {
        uint8_t v = bitmap.buffer[int(row) * bitmap.pitch + int(col)];
        if (v) AddToMask(mask, left + int(col), top + int(row), float(v) / 255.0f);
      }
    }
    return advance;
  });
  FT_Set_Transform(face, nullptr, nullptr);
  return mask;
}

void DrawText(Canvas& canvas, const TextStyle& style, std::string_view utf8, float x, float baseline, Align align) {
  float width = MeasureText(style.font, utf8, style.tracking);
  if (align == Align::CENTRE) x -= width * 0.5f;
  if (align == Align::RIGHT) x -= width;
  Mask glyphs = RenderTextMask(style.font, utf8, x, baseline, style.tracking);
  const Mask* body = &glyphs;
  Mask outline;
  if (style.outline_width > 0.0f) {
    outline = DilateMask(glyphs, style.outline_width);
    body = &outline;
  }
  if (style.shadow.a > 0.0f) {
    Mask shadow = style.shadow_blur > 0 ? BlurMask(*body, style.shadow_blur) : *body;
    PaintMask(canvas, shadow, int(std::lround(style.shadow_offset.x)), int(std::lround(style.shadow_offset.y)),
              [&](float, float) { return style.shadow; });
  }
  if (style.outline_width > 0.0f) PaintMask(canvas, outline, 0, 0, [&](float, float) { return style.outline; });
  float top = baseline - CapHeight(style.font);
  PaintMask(canvas, glyphs, 0, 0, [&](float, float py) {
    float t = std::clamp((py - top) / (baseline - top), 0.0f, 1.0f);
    return Mix(style.fill_top, style.fill_bottom, t);
  });
}

}  // namespace assets
