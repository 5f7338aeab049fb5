// What every picture of the demo shares: the frame it is shown in, where the sea meets the
// sky, the fonts and the palette of the sea-side look.
#pragma once

#include "draw/canvas.h"
#include "draw/text.h"

namespace assets {

// The demo draws into a 512 x 384 frame.
constexpr int FRAME_WIDTH = 512;
constexpr int FRAME_HEIGHT = 384;

// Wave strips are drawn at row 284 and at columns -130..0 as they swing, so a strip must be
// at least 512 + 130 = 642 wide; only its top 100 rows reach the frame.
constexpr int STRIP_ROW = 284;
constexpr int STRIP_SWING = 130;
constexpr int STRIP_WIDTH = 660;
constexpr int STRIP_HEIGHT = 100;

// The distant horizon of the backgrounds; the rear wave's crest sits a little below it.
constexpr float HORIZON_ROW = 262.0f;

constexpr const char* FONT_SANS_BOLD = "DejaVuSans-Bold.ttf";
constexpr const char* FONT_SANS = "DejaVuSans.ttf";
constexpr const char* FONT_SANS_CONDENSED_BOLD = "DejaVuSansCondensed-Bold.ttf";
constexpr const char* FONT_SERIF_BOLD_ITALIC = "DejaVuSerif-BoldItalic.ttf";

namespace palette {
constexpr Color INK = Hex(0x0B1E33);         // deepest sea, text shadows
constexpr Color DEEP_SEA = Hex(0x0E3A5C);
constexpr Color SEA = Hex(0x1667A0);
constexpr Color SHALLOW = Hex(0x2FA4C4);
constexpr Color LAGOON = Hex(0x6FD6DA);
constexpr Color FOAM = Hex(0xF2FBFF);
constexpr Color SAND = Hex(0xF3DDA6);
constexpr Color SUN = Hex(0xFFE9A8);
constexpr Color SUNSET = Hex(0xFF9A5C);
constexpr Color CORAL = Hex(0xFF6F61);
constexpr Color NIGHT = Hex(0x070B22);
constexpr Color MOON = Hex(0xF4F1DC);
constexpr Color WHITE = Hex(0xFFFFFF);
}  // namespace palette

}  // namespace assets
