#include "demo/demo_state.h"

DemoState g_demo = {.frame_buffer = {}, .demo_clock = 0.0f, .current_part = 1, .timer = {}};

void ResetDemoState() {
  g_demo = DemoState{};
  g_demo.current_part = 1;
}
