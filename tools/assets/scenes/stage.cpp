#include "scenes/stage.h"

#include <algorithm>
#include <cmath>

#include "geometry/motion.h"
#include "scene/object_motion.h"
#include "scene/scene_object.h"

namespace assets {

int FramesOf(float seconds) { return int(std::lround(seconds * SCENE_FPS)); }

// World y points up and world z towards the viewer, so a point below the centre of the
// screen is lower in the world and a deeper one has a smaller z.
WorldKey PlacePose(const Stage& stage, const Pose& pose) {
  WorldKey key{};
  key.frames = FramesOf(pose.seconds);
  key.position[0] = stage.camera[0] + (pose.sx - CENTRE_X) * pose.depth / FOCAL;
  key.position[1] = stage.camera[1] - (pose.sy - CENTRE_Y) * pose.depth / FOCAL;
  key.position[2] = stage.camera[2] - pose.depth;
  for (int i = 0; i < 3; ++i) key.rotation[i] = pose.rot[i];
  key.tension = pose.tension;
  return key;
}

std::vector<WorldKey> PlacePoses(const Stage& stage, const std::vector<Pose>& poses) {
  std::vector<WorldKey> keys;
  for (const Pose& pose : poses) keys.push_back(PlacePose(stage, pose));
  return keys;
}

namespace {

MotionRecord Record(int frames, const float position[3], const float rotation[3], float tension) {
  MotionRecord record{};
  record.time = frames;
  for (int i = 0; i < 3; ++i) {
    // Whole hundredths, so the file says what the script comments say.
    record.position[i] = std::round(position[i] * 100.0f) / 100.0f;
    record.rotation[i] = rotation[i];
    record.scale[i] = 1.0f;
    record.tension[i] = tension;
  }
  return record;
}

// The poses as the engine's own curves, to sample them as the demo will play them.
void AddPoseKeys(Motion* motion, const std::vector<WorldKey>& keys) {
  for (const WorldKey& key : keys) {
    for (int channel : {MOTION_POSITION, MOTION_ROTATION}) {
      CurveKey* k = AddMotionKey(motion, channel);
      k->time = key.frames;
      k->interpolation = 1;
      k->tension = key.tension;
      const float* value = channel == MOTION_POSITION ? key.position : key.rotation;
      for (int i = 0; i < 3; ++i) k->value[i] = value[i];
    }
  }
}

}  // namespace

MotionWriter SwimmingMotion(const Stage& stage, const std::vector<Pose>& poses, float wag_degrees, int wag_frames) {
  std::vector<WorldKey> keys = PlacePoses(stage, poses);
  SceneObject swimmer{};
  swimmer.motion = NewMotion();
  AddPoseKeys(swimmer.motion, keys);
  MotionWriter writer;
  int last = keys.back().frames;
  for (int frames = 0, beat = 0; frames < last + wag_frames; frames += wag_frames, ++beat) {
    frames = std::min(frames, last);
    // At the last key the curves write nothing (their hold starts after it): take it as is.
    swimmer.local_time = float(frames);
    EvaluateMotion(&swimmer, 0.0f);
    const float* position = frames == last ? keys.back().position : swimmer.position;
    float rotation[3];
    for (int i = 0; i < 3; ++i) rotation[i] = frames == last ? keys.back().rotation[i] : swimmer.rotation[i];
    rotation[1] += beat % 2 == 0 ? wag_degrees : -wag_degrees;
    AddMotionRecord(&writer, Record(frames, position, rotation, 0.0f));
  }
  FreeMotion(swimmer.motion);
  return writer;
}

}  // namespace assets
