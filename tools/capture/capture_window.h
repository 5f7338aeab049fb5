// Which frames a capture keeps: those whose demo second lies from --from to --to, ends
// included. The demo clock is a float sum of frame steps, so a frame meant to fall on a
// second may land a hair to either side of it; a frame within a thousandth of a frame of an
// end counts as on it.
#pragma once

#include <cstdint>

struct CaptureWindow {
  double from_seconds;
  double to_seconds;
  int fps;
};

// Whether a frame at demo second t is kept.
bool InCaptureWindow(const CaptureWindow& window, double t);

// Where a seek starts for the window: its first frame is the first at or after this second.
double CaptureWindowStart(const CaptureWindow& window);

// Whether a frame at demo second t lies past the window: the capture ends there.
bool PastCaptureWindow(const CaptureWindow& window, double t);

// How many frames the window keeps. The frames of a run fall at k / fps seconds for k from 1
// to the last at or before the demo's end.
int64_t CaptureWindowFrames(const CaptureWindow& window);
