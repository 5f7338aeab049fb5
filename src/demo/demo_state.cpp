#include "demo/demo_state.h"

DemoState g_demo;

void ResetDemoState() { g_demo = DemoState{}; }

BackdropDamage* BackdropDamageOf(const Texture* frame) {
  return frame == &g_demo.frame_buffer.frame ? &g_demo.frame_buffer.damage : nullptr;
}

void ForgetBackdropDamage(const Texture* frame) {
  if (BackdropDamage* damage = BackdropDamageOf(frame)) *damage = BackdropDamage{};
}
