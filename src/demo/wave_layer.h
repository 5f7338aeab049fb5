// The wave strips of the scene parts: three images that swing left and right one pixel per
// drawn frame, whatever the frame rate, under and over the 3D scene.
#pragma once

#include <cstdint>

#include "resource/texture.h"

// A strip is drawn at column position - WAVE_SWING, so it swings between x = -130 and 0.
constexpr int32_t WAVE_SWING = 130;
constexpr int32_t WAVE_ROW = 284;

struct WaveLayer {
  int32_t position;  // 0..WAVE_SWING
  int32_t velocity;  // +1 or -1
};

// Each scene part has its own three, starting from the same values.
struct WaveLayers {
  WaveLayer front;
  WaveLayer middle;
  WaveLayer rear;
};

constexpr WaveLayers InitialWaves() { return {.front = {26, +1}, .middle = {66, -1}, .rear = {120, +1}}; }

// One frame of motion. A layer holds each end for two frames before it turns.
void StepWave(WaveLayer* layer);

// Front, middle, rear: the order every part steps them in.
void StepWaves(WaveLayers* waves);

// Draws a strip into the frame at its layer's place.
void DrawWaveStrip(Texture* frame, const Texture& strip, const WaveLayer& layer);
