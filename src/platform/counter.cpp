#include "platform/counter.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#else
#include <SDL.h>
#endif

#include "platform/platform.h"

#ifdef __EMSCRIPTEN__
// A page's clock is performance.now(), in milliseconds; counted here in microseconds.
int64_t SystemCounter::Read() { return static_cast<int64_t>(emscripten_get_now() * 1000.0); }
int64_t SystemCounter::Frequency() { return 1000000; }
#else
int64_t SystemCounter::Read() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t SystemCounter::Frequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }
#endif

// A period of one million counts keeps every frame an exact integer number of counts.
VirtualCounter::VirtualCounter(int frames_per_second)
    : period_(1000000), frequency_(static_cast<int64_t>(frames_per_second) * 1000000) {}

int64_t VirtualCounter::Read() {
  value_ += period_;
  return value_;
}

int64_t VirtualCounter::Frequency() { return frequency_; }

namespace {
Counter& CurrentCounter() {
  static SystemCounter system_counter;
  return g_platform.counter ? *g_platform.counter : system_counter;
}
}  // namespace

int64_t ReadCounter() { return CurrentCounter().Read(); }
int64_t CounterFrequency() { return CurrentCounter().Frequency(); }
