#include "demo/intro.h"

#include "demo/backdrop.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"

static const char* const kIntroFiles[INTRO_IMAGE_COUNT] = {"presents.png", "zibo.png", "creds.png",
                                                           "greets.png"};

// Cards change once the clock is past 5, 10 and 15 seconds; at exactly those times the
// previous card is still shown.
static int32_t ChooseCard(float clock, int32_t shown) {
  if (clock > 15.0f) return 3;
  if (clock > 10.0f) return 2;
  if (clock > 5.0f) return 1;
  return shown;
}

void LoadIntro(IntroState* s) {
  ReleaseIntro(s);
  for (int i = 0; i < INTRO_IMAGE_COUNT; ++i) s->images[i] = DecodePng(LoadFile(kIntroFiles[i]));
}

void StepIntro(IntroState* s, float delta) {
  s->clock += delta;
  s->shown = ChooseCard(s->clock, s->shown);
}

const Texture& IntroBackdrop(const IntroState& s) { return s.images[s.shown]; }

// A card stays for seconds: its frames after the first copy nothing and show no new row.
void PaintIntro(const IntroState& s, Texture* frame) { PaintBackdrop(frame, IntroBackdrop(s)); }

void DrawIntro(IntroState* s, float delta, Texture* frame) {
  StepIntro(s, delta);
  PaintIntro(*s, frame);
}

void RewindIntro(IntroState* s) {
  s->clock = 0.0f;
  s->shown = 0;
}

void ReleaseIntro(IntroState* s) {
  for (Texture& image : s->images) FreeTexture(&image);
  *s = IntroState{};
}
