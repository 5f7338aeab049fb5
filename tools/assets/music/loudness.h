// Measuring the soundtrack as loudness meters and streaming platforms do (ITU-R BS.1770,
// EBU R 128), so that the master can be set by the same measure: K-weighted power in 400 ms
// blocks every 100 ms, gated at -70 LUFS and again 10 LU under the mean of what passed.
// True peak is the highest level between the samples too, estimated at four times the rate.
#pragma once

#include <vector>

#include "music/instruments.h"

namespace assets::music {

// Integrated loudness in LUFS; -70 or less for silence.
double IntegratedLoudness(const StereoBuffer& song, int rate);

// Per frame, the highest absolute value of either channel at the frame and at the three
// points a quarter, a half and three quarters of the way to the next frame.
std::vector<float> TruePeaks(const StereoBuffer& song);

}  // namespace assets::music
