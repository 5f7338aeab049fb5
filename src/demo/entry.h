// The demo body: start-up, the frame loop over the timeline, and shutdown, on the platform
// its driver gives (SDL for kra, the headless display for captures and tests).
// Every driver starts a run with StartDemoRun and ends it with EndDemoRun, or lets
// GuardDemoRun end it when it ends early.
#pragma once

#include <functional>
#include <optional>

#include "demo/demo_run.h"
#include "platform/platform.h"

struct DemoOptions {
  float from_seconds = 0.0f;  // start there (a seek), with the music at the same point
  int seek_fps = 60;          // the frame step of that seek's replay: the capture's rate
  bool player = true;         // the player's keys and overlay; captures run without
  bool watch = false;         // the player reloads when a file the load read changes
};

// The one start: the demo started and loaded, the player when asked, the frame timer
// running from from_seconds, the music playing. Ends early by an exception, as every call of
// a run may (demo_run.h).
void StartDemoRun(const Platform& platform, const DemoOptions& options);
// The rest of StartDemoRun once StartDemo has run (all of StepDemoStart's pieces, for a
// driver that starts in pieces): the player when asked, the frame timer, the music.
void FinishDemoStart(const DemoOptions& options);

// The one end: the player and everything the run holds released, the music wound down
// first when the run played out.
void EndDemoRun(DemoEnd end);

// Runs the whole demo and returns the process exit status: 0 at the normal end and on
// Escape or close, 1 when no display can be opened or on an internal error, a fatal error's
// own status otherwise.
// The default options are the demo as it always plays: from the start, to the end.
int RunDemo(const Platform& platform, const DemoOptions& options = {});

// Runs a piece of a demo run (drivers that run the demo a frame at a time use it around each
// call). An early end (Escape, a close request, a fatal data error, shown as the demo shows
// it, or any other exception, said as an internal error with status 1) ends the run and
// gives its exit status; nothing when the body ran to its end.
std::optional<int> GuardDemoRun(const std::function<void()>& body);
