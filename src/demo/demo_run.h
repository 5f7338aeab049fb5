// The demo as calls a driver makes: start-up, one frame at a time, seeking, and the end.
// The native loop (entry.cpp), kra-capture and the browser page all drive these same
// functions, through entry.h's one start and one end; they differ only in where time and
// keys come from.
//
// A run: StartDemo, StartDemoClock, then StepDemoFrame and PresentDemoFrame once per frame
// until StepDemoFrame answers false, then ReleaseDemo(DemoEnd::kPlayedOut). Escape, a close
// request, a display that cannot be opened or a fatal data error leave by an exception
// (ProcessExit, FatalError) from any of them; the driver then calls ReleaseDemo(kEarly).
#pragma once

#include <cstdint>

struct Platform;

// Opens the platform's display, creates the frame buffer and the renderer, opens the
// archive, loads every part and the music (to play on the platform's audio device), in the
// demo's order; the frame timer reads the platform's counter from then on. A display or frame
// buffer that cannot be had is said on stderr and ends the run with ProcessExit{1}.
void StartDemo(const Platform& platform);

// StartDemo in pieces, for a driver that must not be blocked for long at a time (the page
// runs one piece between its events): the display, frame buffer, renderer and archive; each
// part's loader; the music. StepDemoStart runs the next piece and answers whether any is
// left; a piece ends the run early as StartDemo would.
struct DemoStart {
  const Platform* platform = nullptr;  // outlives the run
  int next = 0;                        // the piece StepDemoStart runs next
};
bool StepDemoStart(DemoStart* start);
// The music's piece, the last: it opens the platform's audio device (a page may open its
// sound only from a click, so it runs this one when Play is pressed).
bool NextDemoStartIsMusic(const DemoStart& start);

// Starts the frame timer, then seeks to from_seconds (when above 0) on virtual time of
// seek_fps frames a second, then plays the music.
void StartDemoClock(float from_seconds, int seek_fps);

// One frame on the frame timer: tick, advance the demo clock, clear the frame, step and
// paint the part the clock gives. false once the clock has passed the end: that frame is
// drawn but not to be presented.
bool StepDemoFrame();

// Presents the frame (pumping the window's messages) and tells the frame hook.
void PresentDemoFrame();

// Puts the whole demo where a run from the start would be just before its first frame at
// or after seconds, running on virtual time of fps frames a second: the timeline clock is
// summed frame by frame from 0, and the part that clock falls in is stepped frame by frame
// from its start, drawing nothing. Every other part is put back as loaded. The music goes
// to the same second. The frame timer then goes on from there: exactly, when the run's
// counter is virtual at the same rate (captures), else from now.
void SeekDemo(float seconds, int fps);

// SeekDemo, then the frame at the seek's second drawn on the same virtual time: the frame a
// run at fps frames a second draws first at or after seconds, whatever the run's counter
// (a paused seek shows what a run shows). The clock is that frame's; the frame timer goes on
// from there as after SeekDemo. false when that frame is past the timeline's end.
bool SeekDemoFrame(float seconds, int fps);

// Draws the frame at the clock's second again from the parts' loaded state (after a reload):
// a clock on the grid of fps frames a second is drawn as SeekDemoFrame draws it; off the grid
// the part is replayed up to the frame before, then stepped once with the delta that brings
// it to the clock. The clock and the frame timer stay as they were, so a paused picture keeps
// its second and a playing one goes on from there. false when the clock stands where no frame
// has been drawn yet (a seek to 0): nothing is.
bool ReplayDemoFrame(int fps);

// Restarts the frame timer from now.
void RestartDemoTimer();

// Goes on after a pause as if it had not been: the pause does not count as one long frame.
void ResumeDemoTimer();

enum class DemoEnd {
  kPlayedOut,  // the timeline reached its end: the music winds down first
  kEarly,      // Escape, a close request, any error: everything goes at once, the window too
};

// Releases what a run holds: the music, the renderer, the parts, the frame buffer and the
// archive. Safe on a run that never fully started: tests and kra-capture run the demo
// in-process, and the next run must be able to open the audio again.
void ReleaseDemo(DemoEnd end);

// Called after each presented frame; captures use it to follow the demo. May be empty.
using FramePresentedHook = void (*)(void* user);
void SetFramePresentedHook(FramePresentedHook hook, void* user);
