#include "stage.h"

#include <cmath>

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

MotionWriter PosesMotion(const Stage& stage, const std::vector<Pose>& poses) {
  MotionWriter writer;
  for (const WorldKey& key : PlacePoses(stage, poses)) {
    MotionRecord record{};
    record.time = key.frames;
    for (int i = 0; i < 3; ++i) {
      // Whole hundredths, so the file says what the script comments say.
      record.position[i] = std::round(key.position[i] * 100.0f) / 100.0f;
      record.rotation[i] = key.rotation[i];
      record.scale[i] = 1.0f;
      record.tension[i] = key.tension;
    }
    AddMotionRecord(&writer, record);
  }
  return writer;
}

}  // namespace assets
