#include "demo/demo_state.h"

DemoState g_demo;

void ResetDemoState() { g_demo = DemoState{}; }
