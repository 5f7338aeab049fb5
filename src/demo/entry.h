// The demo body: start-up, the frame loop over the timeline, and shutdown, on whatever
// platform g_platform holds (SDL for kra, the headless display for captures and tests).
#pragma once

#include <functional>

#include "demo/demo_run.h"

struct DemoOptions {
  float from_seconds = 0.0f;  // start there (a seek), with the music at the same point
  int seek_fps = 60;          // the frame step of that seek's replay: the capture's rate
  bool player = true;         // the player's keys and overlay; captures run without
};

// Runs the whole demo and returns the process exit status: 0 at the normal end and on
// Escape or close, 1 when no display can be opened, a fatal error's own status otherwise.
// The default options are the demo as it always plays: from the start, to the end.
int RunDemo(const DemoOptions& options = {});

// Runs a piece of a demo run (drivers that run the demo a frame at a time use it around each
// call). An early end (Escape, a close request, a fatal data error, shown as the demo shows
// it) releases what the run holds and gives its exit status; otherwise body's own result.
int GuardDemoRun(const std::function<int()>& body);
