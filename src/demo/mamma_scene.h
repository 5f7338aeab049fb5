// Demo part 2, the scene "mamma1.xml": sky, rear wave strip, the 3D scene, the middle and
// front strips, and speech bubbles for the first five seconds.
#pragma once

#include "demo/scene_part.h"
#include "demo/wave_layer.h"
#include "resource/texture.h"
#include "scene/scene.h"

enum MammaImage : int32_t {
  MAMMA_WAVE_FRONT,
  MAMMA_WAVE_MIDDLE,
  MAMMA_WAVE_REAR,
  MAMMA_SKY,
  MAMMA_BUBBLE_1,
  MAMMA_BUBBLE_2,
  MAMMA_IMAGE_COUNT
};

constexpr int32_t MAMMA_MESHES_USED = 2;
constexpr int32_t MAMMA_OBJECTS_USED = 2;

struct MammaState {
  Texture images[MAMMA_IMAGE_COUNT];
  Scene scene;
  ScenePartHandles used;  // the first two meshes and objects
  float part_time;        // seconds, advanced only while this part is drawn
  WaveLayers waves = InitialWaves();
  SceneRewind rewind;     // the scene as loaded
};

// Images, the script "mamma1.xml" and its two mesh textures. A script with fewer than two
// meshes or objects is a fatal data error.
void LoadMammaScene(MammaState* s);
// One frame: StepMammaScene advances the waves, the clock and the motion; PaintMammaScene
// draws what they give. DrawMammaScene is the two in that order.
void StepMammaScene(MammaState* s, float delta);
void PaintMammaScene(const MammaState& s, Texture* frame);
void DrawMammaScene(MammaState* s, float delta, Texture* frame);
// Back to the state right after loading, without reading any file.
void RewindMammaScene(MammaState* s);
// Frees the images and the scene and returns the part to its state before loading.
void ReleaseMammaScene(MammaState* s);
