// The player around the demo: pause, seek, reload and an overlay, driven by the keys the
// platform passes on. The native loop and the browser page call PlayFrame once per frame;
// kra-capture does not use the player, so its frames never show the overlay.
//
//   Space        pause / resume (the frame stays, the music holds, demo time stops)
//   Left, Right  5 seconds back / ahead; Page Up, Page Down 20 seconds; Home the start
//   R            read every data file again and go on at the same second
//   T            the overlay: demo second, part name, frames per second
#pragma once

#include <cstdint>
#include <string>

enum class DisplayEvent;

// The frame step of a seek's replay in the player: the demo's own rate of 60 frames a second.
constexpr int PLAYER_SEEK_FPS = 60;

struct PlayerState {
  bool paused;
  bool overlay;
  bool frame_behind;    // a seek while playing has moved the clock past the frame's picture
  uint32_t* held;       // the frame as the part drew it, copied only while paused or under the overlay
  float fps;            // frames per second over the last half second of frames
  float fps_seconds;    // how much of that half second has passed
  int32_t fps_frames;
};

extern PlayerState g_player;

// Allocates what the player holds; after StartDemo.
void StartPlayer();
void ReleasePlayer();

// One frame: a demo frame (or, paused, the one held), the overlay when on, presentation,
// then the keys that came with it. false once the demo has reached its end.
bool PlayFrame();

// What a key does; other events are ignored.
void HandlePlayerKey(DisplayEvent key);

// Moves to seconds (clamped to the timeline) and shows the frame there, paused or not.
void PlayerSeek(float seconds);
