// The soundtrack "zibo.mp3": the score (score.h) played by the instruments
// (instruments.h), mixed and mastered, then encoded.
#pragma once

#include <cstdint>
#include <vector>

#include "music/instruments.h"
#include "music/score.h"

namespace assets::music {

// 192 kbit/s constant bit rate: comfortably transparent for synthesised music.
constexpr int MP3_BITRATE_KBPS = 192;

// The master's integrated loudness, as streaming platforms normalise to (LUFS), and the
// ceiling its true peaks are held under (dBTP): the encoder's ringing adds up to about half a
// decibel, and what is played must stay under -1.
constexpr double MASTER_LOUDNESS = -14.0;
constexpr double MASTER_TRUE_PEAK = -2.0;

// The song, SONG_BARS long, stereo at SAMPLE_RATE: everything that rings past its end has
// been folded onto its start, so it loops without a seam (mix.cpp). Mastered.
StereoBuffer RenderSong(const std::vector<ScoreEvent>& score);

// Brings the mix to MASTER_LOUDNESS with no true peak above MASTER_TRUE_PEAK (master.cpp).
void Master(StereoBuffer* song);

// MPEG-1 layer III at the given constant bit rate, with an encoder info frame (so decoders
// trim the encoder's delay and padding and the loop stays seamless) and no ID3 tags: the
// same samples give the same bytes (encode.cpp).
std::vector<uint8_t> EncodeMp3(const std::vector<float>& stereo, int rate, int kbps);

}  // namespace assets::music
