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

// Peak level after mastering; the encoder's ringing stays below full scale with this margin.
constexpr float MASTER_PEAK = 0.8f;

// The song, SONG_BARS long, stereo at SAMPLE_RATE: everything that rings past its end has
// been folded onto its start, so it loops without a seam (mix.cpp).
StereoBuffer RenderSong(const std::vector<ScoreEvent>& score);

// MPEG-1 layer III at the given constant bit rate, with an encoder info frame (so decoders
// trim the encoder's delay and padding and the loop stays seamless) and no ID3 tags: the
// same samples give the same bytes (encode.cpp).
std::vector<uint8_t> EncodeMp3(const std::vector<float>& stereo, int rate, int kbps);

}  // namespace assets::music
