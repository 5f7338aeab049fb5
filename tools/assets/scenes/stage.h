// Staging the 3D scenes in screen terms. The scene parts play key frames at 20 per second
// through a 256-pixel focal length centred on (256, 192); a pose says where on screen an
// object's middle should be and how far from the camera, and the stage turns that into the
// world position the scripts and motion files store.
#pragma once

#include <vector>

#include "geometry/motion_writer.h"

namespace assets {

constexpr float SCENE_FPS = 20.0f;    // the rate the scene parts set after loading
constexpr float LOADER_FPS = 30.0f;   // the rate the script loader converts key times with
constexpr float FOCAL = 256.0f;
constexpr float CENTRE_X = 256.0f, CENTRE_Y = 192.0f;
// Zibo's tail beat: a swing to each side every quarter second, 30 in a 7.5 s lap.
constexpr float WAG_DEGREES = 7.0f;
constexpr int WAG_FRAMES = 5;

// Where the camera rests; its own keys only bob it a little around this place, unturned.
struct Stage {
  float camera[3];
};

// One key of an object: on-screen seconds of its own clock, screen position of its middle,
// depth in front of the camera, rotation in degrees (a fish faces right at rot_y 0 and left
// at 180; rot_z lifts its nose).
struct Pose {
  float seconds;
  float sx, sy, depth;
  float rot[3];
  float tension;  // 0 for a flowing path, up to 1 to ease in and out of the key
};

struct WorldKey {
  int frames;
  float position[3];
  float rotation[3];
  float tension;
};

int FramesOf(float seconds);
WorldKey PlacePose(const Stage& stage, const Pose& pose);
std::vector<WorldKey> PlacePoses(const Stage& stage, const std::vector<Pose>& poses);

// A swimmer's motion file: the poses' path sampled every wag_frames, with the heading
// swung by wag_degrees to one side and the other in turn, so the body beats like a tail.
// A lap that a part restarts must last an even number of beats to end as it starts.
MotionWriter SwimmingMotion(const Stage& stage, const std::vector<Pose>& poses, float wag_degrees, int wag_frames);

}  // namespace assets
