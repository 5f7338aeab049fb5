#include "capture_window.h"

#include <algorithm>
#include <cmath>

#include "demo/timeline.h"

namespace {

constexpr double kFrameTolerance = 0.001;  // of one frame

double Tolerance(const CaptureWindow& window) { return kFrameTolerance / window.fps; }

}  // namespace

bool InCaptureWindow(const CaptureWindow& window, double t) {
  return t >= window.from_seconds - Tolerance(window) && !PastCaptureWindow(window, t);
}

double CaptureWindowStart(const CaptureWindow& window) {
  return std::max(0.0, window.from_seconds - Tolerance(window));
}

bool PastCaptureWindow(const CaptureWindow& window, double t) { return t > window.to_seconds + Tolerance(window); }

int64_t CaptureWindowFrames(const CaptureWindow& window) {
  const double last = std::min<double>(window.to_seconds, kDemoEnds);
  const int64_t first_frame =
      std::max<int64_t>(1, static_cast<int64_t>(std::ceil(window.from_seconds * window.fps - kFrameTolerance)));
  const int64_t last_frame = static_cast<int64_t>(std::floor(last * window.fps + kFrameTolerance));
  return std::max<int64_t>(0, last_frame - first_frame + 1);
}
