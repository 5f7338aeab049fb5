// The high-resolution counter behind the frame timer: a 64-bit count and its rate.
#pragma once

#include <cstdint>

class Counter {
 public:
  virtual ~Counter() = default;
  virtual int64_t Read() = 0;
  virtual int64_t Frequency() = 0;
};

// Real time: the platform's own high-resolution counter (one backend file each).
class SystemCounter final : public Counter {
 public:
  int64_t Read() override;
  int64_t Frequency() override;
};

// Virtual time for captures and tests: every read returns the previous value plus exactly
// one frame period, so every frame of the demo lasts exactly 1/fps seconds and a run is
// the same on every machine.
class VirtualCounter final : public Counter {
 public:
  explicit VirtualCounter(int frames_per_second);
  int64_t Read() override;
  int64_t Frequency() override;
  int64_t Peek() const { return value_; }
  int64_t Rate() const { return frequency_; }
  int64_t Period() const { return period_; }

 private:
  int64_t value_ = 0;
  int64_t period_;
  int64_t frequency_;
};

// The counter the platform record holds, or a system counter when none is installed.
Counter& PlatformCounter();

// QueryPerformanceCounter / QueryPerformanceFrequency over PlatformCounter().
int64_t ReadCounter();
int64_t CounterFrequency();
