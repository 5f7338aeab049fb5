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
