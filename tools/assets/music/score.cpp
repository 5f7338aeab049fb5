// Patterns are written one bar to a string, one token per sixteenth note:
//   drums:   'X' accent, 'x' hit, 'o' soft hit, '.' nothing
//   melody:  a note name ("A4", "C#5") starts a note, '-' holds it, '.' is a rest
//   bass:    semitones above the chord's bass note ("0", "7", "12"), '-' holds, '.' rests
// The arrangement below then says which patterns play in which bars.
#include "music/score.h"

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

namespace assets::music {

namespace {

// ---- Harmony -------------------------------------------------------------------------

struct Chord {
  int bass;      // MIDI note of the bass line's root
  int notes[3];  // the pad's voicing, low to high
};

constexpr Chord A_MINOR{45, {57, 60, 64}};
constexpr Chord F_MAJOR{41, {57, 60, 65}};
constexpr Chord C_MAJOR{48, {55, 60, 64}};
constexpr Chord G_MAJOR{43, {55, 59, 62}};
constexpr Chord D_MINOR{38, {57, 62, 65}};
constexpr Chord E_MAJOR{40, {56, 59, 64}};

using Progression = std::vector<Chord>;  // one chord a bar, repeated through a section

const Progression MAIN = {A_MINOR, F_MAJOR, C_MAJOR, G_MAJOR};
const Progression LIFT = {D_MINOR, F_MAJOR, G_MAJOR, E_MAJOR};
const Progression CHORUS = {F_MAJOR, C_MAJOR, G_MAJOR, A_MINOR};
const Progression TURNAROUND = {F_MAJOR, G_MAJOR};  // leads back into the song's first A minor

// ---- Drums ---------------------------------------------------------------------------

constexpr const char* KICK_FOUR = "X...X...X...X...";
constexpr const char* KICK_PULSE = "X.......X.......";
constexpr const char* KICK_PUSH = "X...X...X...X.x.";
constexpr const char* SNARE_BACKBEAT = "....X.......X...";
constexpr const char* SNARE_FILL = "....X...x.x.XxXX";
constexpr const char* SNARE_ROLL = "x.x.x.x.xxxxXXXX";
constexpr const char* HAT_OFFBEAT = "..x...x...x...x.";
constexpr const char* HAT_SIXTEENTHS = "oxoXoxoXoxoXoxoX";
constexpr const char* OPEN_HAT_OFFBEAT = "......o.......o.";

// ---- Bass ----------------------------------------------------------------------------

constexpr const char* BASS_PULSE = "0 - - - . . . . 0 - - - . . . .";
constexpr const char* BASS_DRIVE = "0 - . 0 12 . 0 - . 0 - . 12 - 0 .";
constexpr const char* BASS_OCTAVES = "0 - 12 - 0 - 12 - 0 - 12 - 0 - 7 -";

// ---- Arpeggios: indexes into the chord's notes (3 is the lowest an octave up) ---------

using Arpeggio = std::vector<int>;
const Arpeggio ARP_EIGHTHS = {0, 2, 1, 3, 0, 2, 1, 3};  // one note every two steps
const Arpeggio ARP_SIXTEENTHS = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1, 2, 3};

// ---- Lead melodies, one string a bar -------------------------------------------------

using Melody = std::vector<const char*>;

const Melody THEME = {  // over MAIN
    "A4 - - - C5 - E5 - D5 - C5 - A4 - - -",
    "C5 - - - A4 - - - F4 - A4 - C5 - - -",
    "E5 - - - G5 - E5 - D5 - - - C5 - - -",
    "B4 - - - D5 - - - G4 - - - . . . .",
    "A4 - - - C5 - E5 - A5 - G5 - E5 - - -",
    "F5 - - - E5 - C5 - A4 - - - C5 - - -",
    "E5 - - - G5 - C6 - B5 - G5 - E5 - - -",
    "D5 - - - - - - - B4 - - - . . . .",
};

const Melody ANSWER = {  // over LIFT
    "F5 - - - E5 - D5 - A4 - - - D5 - F5 -",
    "A5 - - - G5 - F5 - C5 - - - . . . .",
    "G5 - - - F5 - D5 - B4 - D5 - G5 - - -",
    "G#5 - - - - - - - E5 - - - B4 - - -",
};

const Melody CHORUS_TUNE = {  // over CHORUS
    "C6 - - - A5 - - - C6 - D6 - C6 - A5 -",
    "G5 - - - - - E5 - G5 - - - C6 - - -",
    "B5 - - - D6 - - - B5 - G5 - D5 - - -",
    "E5 - - - - - - - A5 - - - - - - -",
    "C6 - - - A5 - - - C6 - D6 - E6 - C6 -",
    "G5 - - - - - E5 - G5 - C6 - E6 - - -",
    "D6 - - - B5 - - - G5 - B5 - D6 - - -",
    "E6 - - - - - - - . . . . . . . .",
};

// ---- Arrangement ---------------------------------------------------------------------

struct Section {
  const char* name;
  int first_bar;
  int bars;
  const Progression* chords;
  const char* kick = nullptr;
  const char* snare = nullptr;
  const char* hat = nullptr;
  const char* open_hat = nullptr;
  const char* bass = nullptr;
  float pad = 0;  // velocity; 0 for none
  const Arpeggio* arpeggio = nullptr;
  float arpeggio_velocity = 0;
  const Melody* lead = nullptr;
  int lead_transpose = 0;
  bool crash = false;              // on the section's downbeat
  const char* last_bar_snare = nullptr;  // a fill into the next section
  int riser_bars = 0;              // a noise sweep over the section's last bars
  float level_db = 0;              // loudness against the full sections (BarLevels)
};

const Section ARRANGEMENT[] = {
    {.name = "intro, pads", .first_bar = 0, .bars = 8, .chords = &MAIN,
     .pad = 0.9f, .arpeggio = &ARP_EIGHTHS, .arpeggio_velocity = 0.55f, .level_db = -8.0f},
    {.name = "intro, pulse", .first_bar = 8, .bars = 3, .chords = &MAIN, .kick = KICK_PULSE,
     .hat = HAT_OFFBEAT, .bass = BASS_PULSE, .pad = 0.85f, .arpeggio = &ARP_SIXTEENTHS,
     .arpeggio_velocity = 0.6f, .last_bar_snare = SNARE_ROLL, .riser_bars = 2, .level_db = -5.0f},
    {.name = "first scene", .first_bar = 11, .bars = 5, .chords = &MAIN, .kick = KICK_FOUR,
     .snare = SNARE_BACKBEAT, .hat = HAT_OFFBEAT, .bass = BASS_DRIVE, .pad = 0.7f,
     .arpeggio = &ARP_SIXTEENTHS, .arpeggio_velocity = 0.55f, .crash = true,
     .last_bar_snare = SNARE_FILL, .riser_bars = 1, .level_db = -1.5f},
    {.name = "second scene, theme", .first_bar = 16, .bars = 8, .chords = &MAIN, .kick = KICK_FOUR,
     .snare = SNARE_BACKBEAT, .hat = HAT_SIXTEENTHS, .bass = BASS_DRIVE, .pad = 0.6f,
     .lead = &THEME, .crash = true},
    {.name = "second scene, answer", .first_bar = 24, .bars = 8, .chords = &LIFT, .kick = KICK_PUSH,
     .snare = SNARE_BACKBEAT, .hat = HAT_SIXTEENTHS, .open_hat = OPEN_HAT_OFFBEAT, .bass = BASS_DRIVE,
     .pad = 0.6f, .arpeggio = &ARP_EIGHTHS, .arpeggio_velocity = 0.4f, .lead = &ANSWER,
     .crash = true, .last_bar_snare = SNARE_FILL},
    {.name = "second scene, theme again", .first_bar = 32, .bars = 8, .chords = &MAIN,
     .kick = KICK_FOUR, .snare = SNARE_BACKBEAT, .hat = HAT_SIXTEENTHS, .open_hat = OPEN_HAT_OFFBEAT,
     .bass = BASS_OCTAVES, .pad = 0.55f, .arpeggio = &ARP_SIXTEENTHS, .arpeggio_velocity = 0.4f,
     .lead = &THEME, .crash = true},
    {.name = "breakdown", .first_bar = 40, .bars = 4, .chords = &LIFT, .hat = HAT_OFFBEAT,
     .bass = BASS_PULSE, .pad = 0.95f, .arpeggio = &ARP_SIXTEENTHS, .arpeggio_velocity = 0.65f,
     .last_bar_snare = SNARE_ROLL, .riser_bars = 2, .level_db = -4.0f},
    {.name = "last scene, chorus", .first_bar = 44, .bars = 16, .chords = &CHORUS, .kick = KICK_FOUR,
     .snare = SNARE_BACKBEAT, .hat = HAT_SIXTEENTHS, .open_hat = OPEN_HAT_OFFBEAT, .bass = BASS_OCTAVES,
     .pad = 0.6f, .arpeggio = &ARP_SIXTEENTHS, .arpeggio_velocity = 0.35f, .lead = &CHORUS_TUNE,
     .crash = true},
    {.name = "winding down", .first_bar = 60, .bars = 4, .chords = &MAIN, .kick = KICK_PULSE,
     .hat = HAT_OFFBEAT, .bass = BASS_PULSE, .pad = 0.85f, .arpeggio = &ARP_SIXTEENTHS,
     .arpeggio_velocity = 0.6f, .crash = true, .level_db = -6.0f},
    {.name = "turnaround", .first_bar = 64, .bars = 2, .chords = &TURNAROUND, .pad = 0.9f,
     .arpeggio = &ARP_EIGHTHS, .arpeggio_velocity = 0.55f, .level_db = -8.0f},
};

// ---- Reading the patterns --------------------------------------------------------------

std::vector<std::string> Tokens(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> tokens;
  for (std::string token; in >> token;) tokens.push_back(token);
  return tokens;
}

// "C#5" -> 73. Octave 4 holds middle C (60).
int NoteNumber(const std::string& name) {
  static const int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int semitone = kSemitones[name[0] - 'A'];
  size_t i = 1;
  if (name[i] == '#') {
    ++semitone;
    ++i;
  }
  return 12 * (std::stoi(name.substr(i)) + 1) + semitone;
}

float DrumVelocity(char c) { return c == 'X' ? 1.0f : (c == 'x' ? 0.75f : 0.45f); }

// Notes of a bar of '-' / '.' tokens whose note tokens parse_pitch turns into pitches.
template <typename PitchOf>
void AddLine(std::vector<ScoreEvent>* out, Voice voice, int bar, const char* text, float velocity, float pan,
             PitchOf parse_pitch) {
  const std::vector<std::string> tokens = Tokens(text);
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i] == "-" || tokens[i] == ".") continue;
    size_t end = i + 1;
    while (end < tokens.size() && tokens[end] == "-") ++end;
    out->push_back({voice, bar * STEPS_PER_BAR + static_cast<int>(i), static_cast<int>(end - i),
                    parse_pitch(tokens[i]), velocity, pan});
  }
}

void AddDrums(std::vector<ScoreEvent>* out, Voice voice, int bar, const char* pattern, float pan) {
  for (int i = 0; i < STEPS_PER_BAR && pattern[i]; ++i) {
    if (pattern[i] != '.') out->push_back({voice, bar * STEPS_PER_BAR + i, 1, 0, DrumVelocity(pattern[i]), pan});
  }
}

void AddBar(std::vector<ScoreEvent>* out, const Section& s, int bar) {
  const int index = bar - s.first_bar;
  const Chord& chord = (*s.chords)[index % s.chords->size()];
  const bool last_bar = index == s.bars - 1;
  const int downbeat = bar * STEPS_PER_BAR;

  if (s.kick) AddDrums(out, Voice::kKick, bar, s.kick, 0.0f);
  const char* snare = last_bar && s.last_bar_snare ? s.last_bar_snare : s.snare;
  if (snare) AddDrums(out, Voice::kSnare, bar, snare, 0.0f);
  if (s.hat) AddDrums(out, Voice::kHat, bar, s.hat, 0.3f);
  if (s.open_hat) AddDrums(out, Voice::kOpenHat, bar, s.open_hat, -0.3f);
  if (s.crash && index == 0) out->push_back({Voice::kCrash, downbeat, 1, 0, 0.8f, 0.0f});
  if (s.riser_bars && index == s.bars - s.riser_bars) {
    out->push_back({Voice::kRiser, downbeat, s.riser_bars * STEPS_PER_BAR, 0, 0.9f, 0.0f});
  }
  if (s.bass) {
    AddLine(out, Voice::kBass, bar, s.bass, 0.9f, 0.0f,
            [&](const std::string& t) { return chord.bass + std::stoi(t); });
  }
  if (s.pad > 0) {
    for (int n = 0; n < 3; ++n) {
      out->push_back({Voice::kPad, downbeat, STEPS_PER_BAR, chord.notes[n], s.pad, -0.3f + 0.3f * n});
    }
  }
  if (s.arpeggio) {
    const int per_note = STEPS_PER_BAR / static_cast<int>(s.arpeggio->size());
    for (size_t i = 0; i < s.arpeggio->size(); ++i) {
      const int k = (*s.arpeggio)[i];
      const int pitch = (k < 3 ? chord.notes[k] : chord.notes[0] + 12) + 12;
      const float pan = 0.5f * std::sin(0.7f * static_cast<float>(downbeat + i));
      out->push_back({Voice::kPluck, downbeat + static_cast<int>(i) * per_note, per_note, pitch,
                      s.arpeggio_velocity, pan});
    }
  }
  if (s.lead) {
    const char* line = (*s.lead)[index % s.lead->size()];
    AddLine(out, Voice::kLead, bar, line, 0.85f, 0.1f,
            [&](const std::string& t) { return NoteNumber(t) + s.lead_transpose; });
  }
}

}  // namespace

std::vector<ScoreEvent> BuildScore() {
  std::vector<ScoreEvent> score;
  for (const Section& section : ARRANGEMENT) {
    for (int bar = section.first_bar; bar < section.first_bar + section.bars; ++bar) AddBar(&score, section, bar);
  }
  return score;
}

std::vector<float> BarLevels() {
  std::vector<float> levels(SONG_BARS, 0.0f);
  for (const Section& section : ARRANGEMENT) {
    for (int bar = section.first_bar; bar < section.first_bar + section.bars; ++bar) levels[bar] = section.level_db;
  }
  return levels;
}

int64_t StepToFrame(int64_t step, int rate) {
  // Exact in integers: a step lasts rate * 60 / (TEMPO_BPM * 4) frames, 5011 4/11 at 44100 Hz.
  constexpr int64_t kTempo = static_cast<int64_t>(TEMPO_BPM);
  return step * rate * 60 / (kTempo * 4);
}

}  // namespace assets::music
