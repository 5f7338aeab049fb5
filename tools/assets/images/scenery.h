// Pieces of the sea-side scenery shared by the backgrounds and the cards: the distant sea
// with its light path, puffy clouds, the lighthouse on its rock, stars and the moon.
#pragma once

#include "draw/canvas.h"
#include "draw/gradient.h"
#include "draw/shapes.h"

namespace assets {

struct SeaLook {
  Color near_horizon;                // hazy colour just below the horizon
  Color foreground;                  // colour at the bottom of the frame
  Color ripple;                      // colour of the perspective ripples
  Color glitter = {0, 0, 0, 0};      // light reflected on the water (alpha 0 for none)
  float glitter_x = 0.0f;            // column of the light source above the sea
  float glitter_width = 0.0f;        // half width of the light path at the bottom of the frame
  uint32_t seed = 0;
};

// Paints the sea from the horizon row to the bottom of the canvas, in perspective.
void PaintDistantSea(Canvas& canvas, float horizon, const SeaLook& look);

struct CloudLook {
  Color top;     // lit side
  Color bottom;  // shaded underside
  Color rim = {0, 0, 0, 0};  // thin light at the edge facing the light (alpha 0 for none)
};

// A puffy cloud: a row of rounded lumps on a flat base, centre at (x, base), width wide.
void PaintCloud(Canvas& canvas, float x, float base, float width, const CloudLook& look, uint32_t seed);

struct LighthouseLook {
  Color rock;
  Color tower;
  Color stripe;
  Color lantern;
  float lamp_glow = 0.0f;  // 0 by day; > 0 lights the lamp with a glow of that radius
};

// The lighthouse on its rock, standing on the horizon at column x; height in pixels.
void PaintLighthouse(Canvas& canvas, float x, float horizon, float height, const LighthouseLook& look);

// Stars above max_row: a few bright ones with a cross of light, many faint ones.
void PaintStars(Canvas& canvas, float max_row, int count, uint32_t seed);

// A crescent moon lit from the right, with its glow.
void PaintMoon(Canvas& canvas, Vec2 centre, float radius, Color colour);

}  // namespace assets
