// Demo part 1, the intro: four title cards shown for 5 seconds each with hard cuts.
#pragma once

#include <cstdint>

#include "resource/texture.h"

constexpr int INTRO_IMAGE_COUNT = 4;

struct IntroState {
  Texture images[INTRO_IMAGE_COUNT];  // "presents.png", "zibo.png", "creds.png", "greets.png"
  float clock;                        // seconds, advanced only while the intro is drawn
  int32_t shown;                      // index of the image on screen
};

// Loads and decodes the four title cards. A missing or broken file leaves an empty image,
// which draws nothing.
void LoadIntro(IntroState* s);

// Advances the intro clock by the frame's delta and draws the current card at (0, 0).
// One frame: StepIntro advances the clock and picks the card, PaintIntro draws it;
// DrawIntro is the two in that order.
void StepIntro(IntroState* s, float delta);
void PaintIntro(const IntroState& s, Texture* frame);
void DrawIntro(IntroState* s, float delta, Texture* frame);
// Back to the first card at clock 0.
void RewindIntro(IntroState* s);

// Frees the images and returns the intro to its state before loading.
void ReleaseIntro(IntroState* s);
