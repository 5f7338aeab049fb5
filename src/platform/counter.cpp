#include "platform/counter.h"

// A period of one million counts keeps every frame an exact integer number of counts.
VirtualCounter::VirtualCounter(int frames_per_second)
    : period_(1000000), frequency_(static_cast<int64_t>(frames_per_second) * 1000000) {}

int64_t VirtualCounter::Read() {
  value_ += period_;
  return value_;
}

int64_t VirtualCounter::Frequency() { return frequency_; }
