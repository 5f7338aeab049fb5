// Demo part 3, the scene "swim.xml": the layering of "mamma1" over a day or night
// background that flips each time the first object's animation loops (first 20 s), the
// second object hidden for 10.5 s, the first mesh morphing during second 35 and taking the
// second texture after it, and bubbles from second 30 to 39.
#pragma once

#include "demo/scene_part.h"
#include "demo/wave_layer.h"
#include "resource/texture.h"
#include "scene/scene.h"

enum SwimImage : int32_t {
  SWIM_WAVE_FRONT,
  SWIM_WAVE_MIDDLE,
  SWIM_WAVE_REAR,
  SWIM_DAY,
  SWIM_NIGHT,
  SWIM_BUBBLE_A,
  SWIM_BUBBLE_B,
  SWIM_IMAGE_COUNT
};

constexpr int32_t SWIM_MESHES_USED = 2;
constexpr int32_t SWIM_OBJECTS_USED = 2;

struct SwimState {
  Texture images[SWIM_IMAGE_COUNT];
  Scene scene;
  ScenePartHandles used;       // the first two meshes and objects
  float part_time;             // seconds, advanced only while this part is drawn
  int32_t background;          // 0 day, 1 night
  int32_t shown_background;    // the one this frame draws: background before the frame's flip
  WaveLayers waves = InitialWaves();
  SceneRewind rewind;          // the scene as loaded
};

// Images, the script "swim.xml" and the two mesh textures "texture.png" and "texture2.png".
// A script with fewer than two meshes or objects is a fatal data error.
void LoadSwimScene(SwimState* s);
// One frame: StepSwimScene advances waves, clock, loop, motion and morph; PaintSwimScene
// draws what they give. DrawSwimScene is the two in that order.
void StepSwimScene(SwimState* s, float delta);
void PaintSwimScene(const SwimState& s, Texture* frame);
void DrawSwimScene(SwimState* s, float delta, Texture* frame);
// Back to the state right after loading, without reading any file.
void RewindSwimScene(SwimState* s);
// Frees the images and the scene and returns the part to its state before loading.
void ReleaseSwimScene(SwimState* s);
