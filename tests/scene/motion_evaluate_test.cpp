// Motions on objects: channel defaults, holds, local time and objects without a motion.
#include <gtest/gtest.h>

#include "geometry/motion.h"
#include "scene/object_motion.h"
#include "scene/scene_object.h"

namespace {

struct MotionObject {
  SceneObject object{};
  MotionObject() { object.motion = NewMotion(); }
  ~MotionObject() { FreeMotion(object.motion); }
  CurveKey* Key(int32_t channel, int32_t time, float x, float y = 0, float z = 0) {
    CurveKey* key = AddMotionKey(object.motion, channel);
    key->time = time;
    key->value[0] = x;
    key->value[1] = y;
    key->value[2] = z;
    return key;
  }
};

TEST(MotionKeys, ChannelsAreSeparateLists) {
  MotionObject m;
  m.Key(MOTION_POSITION, 0, 1);
  m.Key(MOTION_POSITION, 10, 2);
  m.Key(MOTION_FOV, 0, 40);
  EXPECT_EQ(m.object.motion->position.key_count, 2);
  EXPECT_EQ(m.object.motion->fov.key_count, 1);
  EXPECT_EQ(m.object.motion->rotation.key_count, 0);
  EXPECT_EQ(m.object.motion->fov.keys->value[0], 40.0f);
  EXPECT_EQ(AddMotionKey(m.object.motion, MOTION_CHANNEL_COUNT), nullptr);
  EXPECT_EQ(AddMotionKey(m.object.motion, -1), nullptr);
}

TEST(MotionEvaluate, EmptyChannelsTakeTheirDefaults) {
  MotionObject m;
  m.object.position[0] = 7;
  m.object.rotation[1] = 45;
  EXPECT_EQ(EvaluateMotion(&m.object, 1), 1);
  EXPECT_EQ(m.object.scale[0], 1.0f);
  EXPECT_EQ(m.object.scale[1], 1.0f);
  EXPECT_EQ(m.object.scale[2], 1.0f);
  EXPECT_EQ(m.object.alpha[0], 1.0f);
  EXPECT_EQ(m.object.fov[0], 34.7f);
  EXPECT_EQ(m.object.position[0], 7.0f);  // position and rotation have no default
  EXPECT_EQ(m.object.rotation[1], 45.0f);
}

TEST(MotionEvaluate, WithoutAMotionOnlyTheClockMoves) {
  SceneObject object{};
  EXPECT_EQ(EvaluateMotion(&object, 2.5f), 0);
  EXPECT_EQ(object.local_time, 2.5f);
  EXPECT_EQ(object.scale[0], 0.0f);
  EXPECT_EQ(object.alpha[0], 0.0f);
  EXPECT_EQ(object.fov[0], 0.0f);
}

TEST(MotionEvaluate, LocalTimeAccumulatesBeforeEvaluating) {
  MotionObject m;
  m.Key(MOTION_POSITION, 0, 0)->interpolation = CURVE_LINEAR;
  m.Key(MOTION_POSITION, 30, 30);
  EvaluateMotion(&m.object, 10);
  EXPECT_FLOAT_EQ(m.object.position[0], 10.0f);
  EvaluateMotion(&m.object, 5);
  EXPECT_EQ(m.object.local_time, 15.0f);
  EXPECT_FLOAT_EQ(m.object.position[0], 15.0f);
  EvaluateMotion(&m.object, 15);  // exactly 30: nothing written, the last value stays
  EXPECT_FLOAT_EQ(m.object.position[0], 15.0f);
  EvaluateMotion(&m.object, 1);
  EXPECT_EQ(m.object.position[0], 30.0f);
}

TEST(MotionEvaluate, SingleKeysHoldFromTimeZero) {
  MotionObject m;
  m.Key(MOTION_ALPHA, 100, 0.5f);
  m.Key(MOTION_SCALE, 100, 2, 3, 4);
  EvaluateMotion(&m.object, 0);
  EXPECT_EQ(m.object.alpha[0], 0.5f);
  EXPECT_EQ(m.object.alpha[1], 0.0f);
  EXPECT_EQ(m.object.scale[0], 2.0f);
  EXPECT_EQ(m.object.scale[2], 4.0f);
}

TEST(MotionEvaluate, FovHoldsItsLastKeyLikeTheOtherChannels) {
  MotionObject m;
  m.Key(MOTION_FOV, 0, 30);
  m.Key(MOTION_FOV, 10, 60);
  EvaluateMotion(&m.object, 9.5f);
  EXPECT_NE(m.object.fov[0], 60.0f);
  EvaluateMotion(&m.object, 1);
  EXPECT_EQ(m.object.fov[0], 60.0f);
}

TEST(MotionEvaluate, ChannelBeforeItsFirstKeyKeepsItsValue) {
  MotionObject m;
  m.Key(MOTION_SCALE, 10, 2, 2, 2);
  m.Key(MOTION_SCALE, 20, 4, 4, 4);
  m.object.scale[0] = 9;
  EvaluateMotion(&m.object, 5);
  EXPECT_EQ(m.object.scale[0], 9.0f);  // neither default nor key: the channel has keys
}

TEST(MotionEvaluate, EachChannelWritesOnlyItsOwnOutput) {
  MotionObject m;
  m.Key(MOTION_ROTATION, 0, 90, 180, 270);
  EvaluateMotion(&m.object, 1);
  EXPECT_EQ(m.object.rotation[0], 90.0f);
  EXPECT_EQ(m.object.rotation[2], 270.0f);
  EXPECT_EQ(m.object.position[0], 0.0f);
  EXPECT_EQ(m.object.position[1], 0.0f);
}

}  // namespace
