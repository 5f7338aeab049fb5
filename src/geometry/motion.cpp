#include "geometry/motion.h"

#include "scene/scene_object.h"

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

int EvaluateMotion(SceneObject* object, float step) {
  object->local_time += step;
  Motion* motion = object->motion;
  if (!motion) return 0;
  float t = object->local_time;

  EvaluateCurve(&motion->position, t, object->position);
  EvaluateCurve(&motion->rotation, t, object->rotation);

  // Channels without keys fall back to their defaults; with keys the curve overwrites.
  if (motion->scale.key_count == 0) {
    object->scale[0] = object->scale[1] = object->scale[2] = DEFAULT_SCALE;
  }
  EvaluateCurve(&motion->scale, t, object->scale);

  if (motion->alpha.key_count == 0) object->alpha[0] = DEFAULT_ALPHA;
  EvaluateCurve(&motion->alpha, t, object->alpha);

  if (motion->fov.key_count == 0) object->fov[0] = DEFAULT_FOV;
  EvaluateCurve(&motion->fov, t, object->fov);
  return 1;
}
