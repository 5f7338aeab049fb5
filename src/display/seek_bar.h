// The player's seek bar, drawn along the bottom of the frame: a pause/play mark, a track
// from the start to the end with the parts marked as chapters, the time played and the
// total, and the time and chapter under the pointer. Everything is in frame pixels of a
// 512x384 frame; the display scales it with the picture, so it stays readable full screen.
#pragma once

#include <cstdint>

#include "resource/texture.h"

// Where the bar lies in the frame: rows [kSeekBarTop, frame height), the track's pixels
// [kSeekTrackLeft, kSeekTrackRight] standing for [0, total] seconds.
constexpr int kSeekBarTop = 352;
constexpr int kSeekTrackLeft = 32;
constexpr int kSeekTrackRight = 400;

// What the pointer is over.
enum class SeekBarPart { kPicture, kPlayMark, kTrack, kBand };

struct SeekBarView {
  float seconds;            // played
  float total;              // the demo's length
  const float* chapters;    // seconds where each chapter after the first starts
  int chapter_count;
  bool paused;
  int pointer_x;            // the pointer's frame position; pointer_label under it when on the track
  int pointer_y;
  const char* pointer_label;  // the chapter under the pointer, or null
};

// The track's pixel for a time, and the time a pixel stands for (clamped to [0, total]):
// SeekBarTime(SeekBarX(t)) is within half a pixel's time of t, and SeekBarX(SeekBarTime(x))
// is x across the track.
int SeekBarX(float seconds, float total);
float SeekBarTime(int x, float total);

SeekBarPart HitSeekBar(int x, int y);

// "1:04" for 64.x seconds: minutes and whole seconds.
void FormatPlayTime(float seconds, char* text, int size);

// Draws the bar into frame (a 512x384 frame; other sizes are drawn as far as they reach).
void DrawSeekBar(const Texture& frame, const SeekBarView& view);
