// An animated thing's motion: five key-framed channels, evaluated once per frame into the
// object's position, rotation, scale, alpha and field of view.
#pragma once

#include <cstdint>

#include "geometry/curve.h"


enum : int32_t {
  MOTION_POSITION = 0,
  MOTION_ROTATION = 1,
  MOTION_SCALE = 2,
  MOTION_ALPHA = 3,
  MOTION_FOV = 4,
  MOTION_CHANNEL_COUNT = 5,
};

// Channel values used when a channel has no keys (position and rotation have none: they
// are left as they are).
constexpr float DEFAULT_SCALE = 1.0f;
constexpr float DEFAULT_ALPHA = 1.0f;
constexpr float DEFAULT_FOV = 34.7f;

struct Motion {
  Curve position;
  Curve rotation;
  Curve scale;
  Curve alpha;
  Curve fov;
};

// A new motion with no keys on any channel.
Motion* NewMotion();

// Frees the motion and all of its keys; null is allowed.
void FreeMotion(Motion* motion);

// The channel's curve, MOTION_POSITION .. MOTION_FOV; null for any other number.
Curve* MotionChannel(Motion* motion, int32_t channel);

// Appends a zero-filled key to one channel and returns it for the caller to fill.
CurveKey* AddMotionKey(Motion* motion, int32_t channel);
