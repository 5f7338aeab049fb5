// The per-frame scene update: the scene clock, the time windows and the camera.
#include <gtest/gtest.h>

#include "geometry/motion.h"
#include "scene/object_motion.h"
#include "scene/scene.h"

namespace {

struct AnimatedScene {
  Scene scene;
  ~AnimatedScene() { FreeScene(&scene); }

  // An object whose x runs linearly from 0 at time 0 to 100 at time 100.
  SceneObject* Walker(float start, float end) {
    SceneObject* object = AddObject(&scene, nullptr);
    object->start = start;
    object->end = end;
    object->motion = NewMotion();
    CurveKey* a = AddMotionKey(object->motion, MOTION_POSITION);
    CurveKey* b = AddMotionKey(object->motion, MOTION_POSITION);
    b->time = 100;
    b->value[0] = 100;
    a->interpolation = b->interpolation = CURVE_LINEAR;
    return object;
  }

  void Frame(float seconds) {
    scene.delta_seconds = seconds;
    UpdateSceneMotion(&scene);
  }
};

TEST(SceneMotion, StepIsDeltaTimesFps) {
  AnimatedScene s;
  s.scene.fps = 20;
  SceneObject* walker = s.Walker(0, 0);
  s.Frame(0.5f);
  EXPECT_EQ(s.scene.time, 10.0f);
  EXPECT_EQ(walker->local_time, 10.0f);
  EXPECT_FLOAT_EQ(walker->position[0], 10.0f);
  s.Frame(0.25f);
  EXPECT_EQ(s.scene.time, 15.0f);
  EXPECT_FLOAT_EQ(walker->position[0], 15.0f);
}

TEST(SceneMotion, WindowBoundsAreStrict) {
  AnimatedScene s;
  s.scene.fps = 1;
  SceneObject* windowed = s.Walker(60, 120);
  SceneObject* always = s.Walker(60, 0);
  s.Frame(60);  // scene time exactly 60: not inside (60, 120)
  EXPECT_EQ(windowed->local_time, 0.0f);
  EXPECT_EQ(windowed->scale[0], 0.0f);  // never evaluated, so no defaults either
  EXPECT_EQ(always->local_time, 60.0f);
  s.Frame(30);  // 90: inside
  EXPECT_EQ(windowed->local_time, 30.0f);
  EXPECT_FLOAT_EQ(windowed->position[0], 30.0f);  // key times count from activation
  EXPECT_EQ(windowed->scale[0], 1.0f);
  s.Frame(30);  // exactly 120: outside again
  EXPECT_EQ(windowed->local_time, 30.0f);
  EXPECT_EQ(always->local_time, 120.0f);
}

TEST(SceneMotion, CameraIsAlwaysEvaluated) {
  AnimatedScene s;
  s.scene.camera->end = 1;  // windows do not apply to the camera
  s.scene.camera->motion = NewMotion();
  s.Frame(1);
  EXPECT_EQ(s.scene.camera->local_time, 30.0f);
  EXPECT_EQ(s.scene.camera->fov[0], 34.7f);
  EXPECT_EQ(s.scene.camera->scale[0], 1.0f);
  EXPECT_EQ(s.scene.camera->position[2], 20.0f);  // no position keys: left alone
}

TEST(SceneMotion, CameraWithoutMotionKeepsItsStartValues) {
  AnimatedScene s;
  s.Frame(1);
  EXPECT_EQ(s.scene.camera->local_time, 30.0f);
  EXPECT_EQ(s.scene.camera->fov[0], 34.7f);
  EXPECT_EQ(s.scene.camera->scale[0], 0.0f);
}

TEST(SceneMotion, ObjectsInListOrderEachWithItsOwnClock) {
  AnimatedScene s;
  SceneObject* a = s.Walker(0, 0);
  s.Frame(1);
  SceneObject* b = s.Walker(0, 0);
  s.Frame(1);
  EXPECT_EQ(a->local_time, 60.0f);
  EXPECT_EQ(b->local_time, 30.0f);
  EXPECT_FLOAT_EQ(a->position[0], 60.0f);
  EXPECT_FLOAT_EQ(b->position[0], 30.0f);
}

}  // namespace
