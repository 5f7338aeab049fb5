// The high-resolution counter behind the frame timer: a 64-bit count and its rate.
#pragma once

#include <cstdint>
#include <optional>

class Counter {
 public:
  virtual ~Counter() = default;
  virtual int64_t Read() = 0;
  virtual int64_t Frequency() = 0;
  // Where the counter stands, without moving it, for a counter whose counts are a grid that
  // only its reads move (virtual time): a timer kept on another grid of the same rate can be
  // carried over onto it exactly. Nothing for real time, whose every read is a new moment.
  virtual std::optional<int64_t> Standing() const { return std::nullopt; }
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
  std::optional<int64_t> Standing() const override { return value_; }
  int64_t Peek() const { return value_; }
  int64_t Rate() const { return frequency_; }
  int64_t Period() const { return period_; }

 private:
  int64_t value_ = 0;
  int64_t period_;
  int64_t frequency_;
};
