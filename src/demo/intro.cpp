#include "demo/intro.h"

#include "demo/demo_state.h"
#include "display/image_blit.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"

IntroState g_intro;

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

void LoadIntro() {
  ReleaseIntro();
  for (int i = 0; i < INTRO_IMAGE_COUNT; ++i) g_intro.images[i] = DecodePng(LoadFile(kIntroFiles[i]));
}

void StepIntro() {
  g_intro.clock += g_demo.timer.delta;
  g_intro.shown = ChooseCard(g_intro.clock, g_intro.shown);
}

void PaintIntro() { DrawImage(&g_demo.frame_buffer.frame, &g_intro.images[g_intro.shown], 0, 0); }

void DrawIntro() {
  StepIntro();
  PaintIntro();
}

void RewindIntro() {
  g_intro.clock = 0.0f;
  g_intro.shown = 0;
}

void ReleaseIntro() {
  for (Texture& image : g_intro.images) FreeTexture(&image);
  g_intro = IntroState{};
}
