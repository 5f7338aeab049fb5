// The soundtrack's score: patterns and the arrangement that places them on the demo's
// timeline. At 132 beats a minute a 4/4 bar lasts 20/11 s, so the sections change at bar 11
// (20.0 s, the first scene), bar 16 (29.1 s, the second) and bar 44 (80.0 s, the last), and
// 66 bars make exactly two minutes, after which the song starts again.
#pragma once

#include <cstdint>
#include <vector>

namespace assets::music {

constexpr double TEMPO_BPM = 132.0;
constexpr int STEPS_PER_BAR = 16;  // sixteenth notes
constexpr int SONG_BARS = 66;

enum class Voice { kKick, kSnare, kHat, kOpenHat, kCrash, kRiser, kBass, kPad, kPluck, kLead };

// One note or hit. Times are in sixteenth-note steps from the start of the song.
struct ScoreEvent {
  Voice voice;
  int step;
  int length;      // steps the note is held (a riser's whole sweep)
  int pitch;       // MIDI note; unused by the drums
  float velocity;  // 0..1
  float pan;       // -1 left .. 1 right
};

std::vector<ScoreEvent> BuildScore();

// How loud each bar is meant to sound against the song's full sections, in dB (0 for them,
// less for the quiet ones): the intro under the title cards, the breakdown and the ending
// under the end card are given room. SONG_BARS entries.
std::vector<float> BarLevels();

// The first frame of a step at the song's tempo and rate.
int64_t StepToFrame(int64_t step, int rate);

}  // namespace assets::music
