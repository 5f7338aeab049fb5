#include "geometry/motion.h"

Motion* NewMotion() { return new Motion{}; }

void FreeMotion(Motion* motion) {
  if (!motion) return;
  for (int32_t channel = 0; channel < MOTION_CHANNEL_COUNT; channel++) ClearCurve(MotionChannel(motion, channel));
  delete motion;
}

Curve* MotionChannel(Motion* motion, int32_t channel) {
  switch (channel) {
    case MOTION_POSITION: return &motion->position;
    case MOTION_ROTATION: return &motion->rotation;
    case MOTION_SCALE: return &motion->scale;
    case MOTION_ALPHA: return &motion->alpha;
    case MOTION_FOV: return &motion->fov;
    default: return nullptr;
  }
}

CurveKey* AddMotionKey(Motion* motion, int32_t channel) {
  Curve* curve = MotionChannel(motion, channel);
  if (!curve) return nullptr;
  return AppendCurveKey(curve);
}
