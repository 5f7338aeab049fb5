#include "music/loudness.h"

#include <algorithm>
#include <cmath>

namespace assets::music {

namespace {

constexpr double PI = 3.14159265358979323846;

struct Biquad {
  double b0, b1, b2, a1, a2;
  double z1 = 0, z2 = 0;

  double Run(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

// The two K-weighting stages, a high shelf for the head and a high pass, from the analogue
// prototypes of BS.1770 so that any rate gets them.
Biquad HeadShelf(int rate) {
  const double f0 = 1681.974450955533, gain_db = 3.999843853973347, q = 0.7071752369554196;
  const double k = std::tan(PI * f0 / rate);
  const double vh = std::pow(10.0, gain_db / 20.0), vb = std::pow(vh, 0.4996667741545416);
  const double a0 = 1.0 + k / q + k * k;
  return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
          2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad HighPass(int rate) {
  const double f0 = 38.13547087602444, q = 0.5003270373238773;
  const double k = std::tan(PI * f0 / rate);
  const double a0 = 1.0 + k / q + k * k;
  return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double LoudnessOf(double power) { return -0.691 + 10.0 * std::log10(std::max(power, 1e-12)); }

// Four-times oversampling: windowed-sinc taps for the points between frames.
constexpr int PHASES = 4, TAPS = 16;

struct Interpolator {
  double taps[PHASES][TAPS];

  Interpolator() {
    for (int p = 1; p < PHASES; ++p) {
      double sum = 0;
      for (int n = 0; n < TAPS; ++n) {
        const double x = n - (TAPS / 2 - 1) - double(p) / PHASES;  // distance from the point, in frames
        const double sinc = std::sin(PI * x) / (PI * x);
        const double window = 0.5 + 0.5 * std::cos(PI * x / (TAPS / 2));
        taps[p][n] = sinc * window;
        sum += taps[p][n];
      }
      for (double& t : taps[p]) t /= sum;
    }
  }
};

}  // namespace

double IntegratedLoudness(const StereoBuffer& song, int rate) {
  const int64_t frames = song.Frames();
  const int64_t step = rate / 10, block = 4 * step;
  // Per 100 ms step, the K-weighted power summed over both channels.
  std::vector<double> step_power(frames / step, 0.0);
  for (int c = 0; c < 2; ++c) {
    Biquad shelf = HeadShelf(rate), pass = HighPass(rate);
    for (int64_t i = 0; i < int64_t(step_power.size()) * step; ++i) {
      const double y = pass.Run(shelf.Run(song.samples[2 * i + c]));
      step_power[i / step] += y * y;
    }
  }
  std::vector<double> blocks;
  for (size_t s = 0; s + 4 <= step_power.size(); ++s) {
    blocks.push_back((step_power[s] + step_power[s + 1] + step_power[s + 2] + step_power[s + 3]) / double(block));
  }
  auto gated_mean = [&](double threshold) {
    double sum = 0;
    int count = 0;
    for (double p : blocks) {
      if (LoudnessOf(p) > threshold) {
        sum += p;
        ++count;
      }
    }
    return count ? sum / count : 0.0;
  };
  const double relative_gate = LoudnessOf(gated_mean(-70.0)) - 10.0;
  return LoudnessOf(gated_mean(std::max(-70.0, relative_gate)));
}

std::vector<float> TruePeaks(const StereoBuffer& song) {
  static const Interpolator interpolator;
  const int64_t frames = song.Frames();
  std::vector<float> peaks(frames, 0.0f);
  for (int c = 0; c < 2; ++c) {
    auto at = [&](int64_t i) { return i < 0 || i >= frames ? 0.0 : double(song.samples[2 * i + c]); };
    for (int64_t i = 0; i < frames; ++i) {
      double peak = std::abs(at(i));
      for (int p = 1; p < PHASES; ++p) {
        double v = 0;
        for (int n = 0; n < TAPS; ++n) v += interpolator.taps[p][n] * at(i + n - (TAPS / 2 - 1));
        peak = std::max(peak, std::abs(v));
      }
      peaks[i] = std::max(peaks[i], float(peak));
    }
  }
  return peaks;
}

}  // namespace assets::music
