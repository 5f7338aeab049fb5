// The demo body: start-up, the frame loop over the timeline, and shutdown, on whatever
// platform g_platform holds (SDL for kra, the headless display for captures and tests).
#pragma once

// Runs the whole demo and returns the process exit status: 0 at the normal end and on
// Escape or close, 1 when no display can be opened, a fatal error's own status otherwise.
int RunDemo();

// Called after each presented frame; captures use it to follow the demo. May be empty.
using FramePresentedHook = void (*)(void* user);
void SetFramePresentedHook(FramePresentedHook hook, void* user);
