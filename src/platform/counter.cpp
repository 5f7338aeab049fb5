#include "platform/counter.h"

#include <SDL.h>

#include "platform/platform.h"

int64_t SystemCounter::Read() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t SystemCounter::Frequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

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
