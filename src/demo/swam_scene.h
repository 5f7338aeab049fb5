// Demo part 4, the scene "swam.xml" and the ending: night and day flipping with the first
// object's animation loop, then the sky from second 15; the first mesh in its target shape
// until second 23, morphing back during it; bubbles from second 16; and after second 28 the
// end card with only the third object, pulsing, drawn over it.
#pragma once

#include <vector>

#include "demo/scene_part.h"
#include "demo/wave_layer.h"
#include "geometry/mesh.h"
#include "resource/texture.h"
#include "scene/scene.h"

// In load order. The part's background numbers are 0 night, 1 day, 2 sky: day and night the
// other way round from "swim".
enum SwamImage : int32_t {
  SWAM_WAVE_FRONT,
  SWAM_WAVE_MIDDLE,
  SWAM_WAVE_REAR,
  SWAM_DAY,
  SWAM_NIGHT,
  SWAM_SKY,
  SWAM_BUBBLE_A,
  SWAM_BUBBLE_B,
  SWAM_END_CARD,
  SWAM_IMAGE_COUNT
};

constexpr int32_t SWAM_MESHES_USED = 3;
constexpr int32_t SWAM_OBJECTS_USED = 3;
constexpr int32_t SWAM_BACKGROUND_SKY = 2;

struct SwamState {
  Texture images[SWAM_IMAGE_COUNT];
  Scene scene;
  ScenePartHandles used;  // the first three meshes and objects
  float part_time;        // seconds, advanced only while this part is drawn
  int32_t background;     // 0 night, 1 day, 2 sky
  int32_t shown_background;  // the one this frame draws: background before the frame's changes
  bool in_ending;            // this frame's time is past the start of the ending
  bool ending_before;        // so was the previous frame's
  float heart_weight;        // the heart's morph weight in this frame's ending
  float layers_heart_weight; // and in the previous frame's, which the layers still show
  std::vector<MeshVertex> layers_heart_vertices;  // the heart at that weight, for those layers
  WaveLayers waves = InitialWaves();
  SceneRewind rewind;        // the scene as loaded
};

// Images, the script "swam.xml" and the two mesh textures "texture.png" and "texture2.png".
// A script with fewer than three meshes or objects is a fatal data error.
void LoadSwamScene(SwamState* s);
// One frame: StepSwamScene advances waves, clock, loop, motion, sky and morphs and settles
// the ending; PaintSwamScene draws what they give. DrawSwamScene is the two in that order.
void StepSwamScene(SwamState* s, float delta);
// The image drawn first, at the corner of a frame of width by height: the background, or in
// the ending the end card when it covers that frame and nothing under it shows.
const Texture& SwamBackdrop(const SwamState& s, int32_t width, int32_t height);
void PaintSwamScene(const SwamState& s, Texture* frame);
void DrawSwamScene(SwamState* s, float delta, Texture* frame);
// Back to the state right after loading, without reading any file.
void RewindSwamScene(SwamState* s);
// Frees the images and the scene and returns the part to its state before loading.
void ReleaseSwamScene(SwamState* s);
