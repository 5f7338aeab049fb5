// The platform services a run of the demo stands on: the driver (the kra program, the page,
// kra-capture, a test or a benchmark) makes its devices and hands this record to the run's
// start, which gives each piece to what reads it: the display to the display window, the
// audio device to the music, the counter to the frame timer. Nothing here is process-wide.
#pragma once

class DisplayDevice;
class Counter;
class AudioDevice;

struct Platform {
  DisplayDevice* display = nullptr;  // none: the run cannot open its display and ends
  Counter* counter = nullptr;        // none: real time, the platform's own counter
  AudioDevice* audio = nullptr;      // none: the demo runs silent
};
