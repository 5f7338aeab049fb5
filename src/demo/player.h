// The player around the demo: pause, seek, reload, a seek bar and overlays, driven by the
// keys and the pointer the platform passes on. The native loop and the browser page call
// PlayFrame once per frame; kra-capture does not use the player, so its frames never show
// the bar or an overlay.
//
//   Space, a click on the picture   pause / resume (the frame stays, the music holds)
//   Left, Right, the wheel          5 seconds back / ahead; Page Up, Page Down 20 seconds;
//                                   Home the start
//   , and . (paused)                one frame back / ahead (an exact seek, as every seek)
//   the bar                         shows when the pointer moves, goes after two still
//                                   seconds; a click or a drag on it seeks there
//   R                               read every data file and the music again, go on at the
//                                   same second
//   T                               the overlay: demo second, part name, frames per second
//   H, ?                            the keys
//
// With the watch on, a change to a file the last load read reloads by itself, as R does.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "resource/content_watch.h"

enum class DisplayEvent;

// The frame step of a seek's replay in the player: the demo's own rate of 60 frames a second.
constexpr int PLAYER_SEEK_FPS = 60;

// How long the bar stays after the pointer last moved.
constexpr float kPlayerBarSeconds = 2.0f;

struct PlayerState {
  bool paused;
  bool overlay;
  bool help;
  bool frame_behind;    // a seek while playing has moved the clock past the frame's picture
  float seek_seconds;   // where that seek was asked to go
  uint32_t* held;       // the frame as the part drew it, copied only while paused or under an overlay
  int32_t paused_wait_ms;  // a paused frame's rest, so a paused player does not spin (a
                           // fuzzer driving it on virtual time sets 0)
  float fps;            // frames per second over the last half second of frames
  float fps_seconds;    // how much of that half second has passed
  int32_t fps_frames;
  float still_seconds;  // since the pointer last moved: the bar shows below kPlayerBarSeconds
  bool pointer_known;   // a pointer event has said where it is
  int32_t pointer_x;    // the pointer in frame pixels
  int32_t pointer_y;
  bool dragging;        // the button went down on the track and is still down
  bool drag_pending;    // a drag moved since the last frame: seek to drag_seconds
  float drag_seconds;
  bool pointer_shown;
  std::chrono::steady_clock::time_point last_wall;  // the bar's and the watch's clock
  bool wall_started;
  bool watching;
  ContentWatch watch;
  std::vector<std::string> good_files;  // what the last load with no problem read, and from
  std::string good_archive;             // which archive: watched until the next one
  std::string reload_failure;           // "FILE: why" of the last reload, "" when it took
};

extern PlayerState g_player;

// Allocates what the player holds; after StartDemo. With watch, follows the files the load
// read and reloads when one changes.
void StartPlayer(bool watch = false);
void ReleasePlayer();

// One frame: a demo frame (or, paused, the one held), the bar and overlays when on,
// presentation, then the keys and pointer events that came with it. false once the demo has
// reached its end.
bool PlayFrame();

// What a key does; other events are ignored.
void HandlePlayerKey(DisplayEvent key);

// What a pointer event does at frame position (x, y): moves show the bar and drag, a press
// on the track seeks, on the picture pauses or resumes; the wheel seeks.
void HandlePlayerPointer(DisplayEvent event, int x, int y);

// Moves to seconds (clamped to the timeline) and shows the frame there, paused or not.
void PlayerSeek(float seconds);

// Pause or resume, as Space does.
void PlayerTogglePause();

// Reads the data (and, with music, the music) again and goes on at the same second, as R
// does; false when the data failed to load (what played goes on).
bool PlayerReload(bool music);

// Whether the bar shows now.
bool PlayerBarShown();
