#include "platform/counter.h"

#include "platform/platform.h"

// A period of one million counts keeps every frame an exact integer number of counts.
VirtualCounter::VirtualCounter(int frames_per_second)
    : period_(1000000), frequency_(static_cast<int64_t>(frames_per_second) * 1000000) {}

int64_t VirtualCounter::Read() {
  value_ += period_;
  return value_;
}

int64_t VirtualCounter::Frequency() { return frequency_; }

Counter& PlatformCounter() {
  static SystemCounter system_counter;
  return g_platform.counter ? *g_platform.counter : system_counter;
}

int64_t ReadCounter() { return PlatformCounter().Read(); }
int64_t CounterFrequency() { return PlatformCounter().Frequency(); }
