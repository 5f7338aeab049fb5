// The platform services the demo runs on, in one place.
//
// The entry (or a tool, or a test) installs a display device, a counter and an audio device
// here before it runs the demo body; the rest of the program reaches the platform only
// through this record and the small interfaces it points at.
#pragma once

class DisplayDevice;
class Counter;
class AudioDevice;

struct Platform {
  DisplayDevice* display = nullptr;
  Counter* counter = nullptr;
  AudioDevice* audio = nullptr;  // none: the demo runs silent
};

extern Platform g_platform;

// Installs a platform record for a scope (a page's still or bench run, a test) and puts back
// the one before on every way out, exceptions included.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(const Platform& platform) : saved_(g_platform) { g_platform = platform; }
  ~ScopedPlatform() { g_platform = saved_; }
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  Platform saved_;
};
