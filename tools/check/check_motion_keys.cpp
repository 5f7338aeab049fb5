#include "check_motion_keys.h"

#include <cmath>

#include "geometry/curve.h"
#include "geometry/motion.h"

namespace {

const char* ChannelName(int32_t channel) {
  static const char* const names[] = {"position", "rotation", "scale", "alpha", "fov"};
  return names[channel];
}

// NaN or an infinity in a key makes the object vanish or fill the screen with nothing the
// demo can draw; the loader takes the numbers as they stand.
bool KeyIsFinite(const CurveKey& key) {
  for (float v : {key.value[0], key.value[1], key.value[2], key.tension, key.continuity, key.bias}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

void CheckMotionKeys(CheckReport* report, const std::string& file, const std::string& owner, Motion* motion) {
  if (!motion) return;
  for (int32_t channel = 0; channel < MOTION_CHANNEL_COUNT; channel++) {
    const Curve* curve = MotionChannel(motion, channel);
    int index = 0;
    for (const CurveKey* key = curve->keys; key; key = key->next, index++) {
      if (!KeyIsFinite(*key)) {
        ReportProblem(report, file, 0, owner,
                      FormatText("%s key %d at frame %d holds a value that is not a finite number (NaN or "
                                 "infinite)", ChannelName(channel), index + 1, key->time));
      }
      if (key->prev && key->time < key->prev->time) {
        ReportProblem(report, file, 0, owner,
                      FormatText("%s key %d at frame %d comes after one at frame %d (keys must rise in time)",
                                 ChannelName(channel), index + 1, key->time, key->prev->time));
      }
      if (key->next && key->interpolation != CURVE_LINEAR && key->interpolation != CURVE_TCB) {
        ReportProblem(report, file, 0, owner,
                      FormatText("%s key %d has curve type %d (0 linear, 1 TCB): the channel stands still after it",
                                 ChannelName(channel), index + 1, key->interpolation));
      }
    }
  }
}

