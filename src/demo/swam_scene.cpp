#include "demo/swam_scene.h"

#include <cmath>

#include "demo/demo_state.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "render/render_context.h"
#include "render/scene_pass.h"

SwamState g_swam;

namespace {

const char* const kSwamFiles[SWAM_IMAGE_COUNT] = {"wavefront.png", "wavemiddle.png", "waveback.png",
                                                  "bg_sol.png",    "bg_natt.png",    "bg_sky.png",
                                                  "boble_zib.png", "boble_obj.png",  "end.png"};

const int32_t kSwamBackgrounds[] = {SWAM_NIGHT, SWAM_DAY, SWAM_SKY};

const BubbleRow kSwamBubbles[] = {
    {16.0f, -1, 0, 0},
    {18.0f, SWAM_BUBBLE_A, 250, 110},
    {20.0f, SWAM_BUBBLE_B, 330, 120},
    {22.0f, SWAM_BUBBLE_A, 250, 110},
    {24.0f, -1, 0, 0},
    {BUBBLE_FOREVER, SWAM_BUBBLE_A, 330, 120},
};

constexpr float SWAM_LOOP_FRAMES = 150.0f;
constexpr float SWAM_LOOP_UNTIL = 20.0f;
constexpr float SWAM_SKY_FROM = 15.0f;
constexpr float SWAM_MIN_X = 50.0f;  // keeps the first object clear of the left edge once the sky is up
constexpr float SWAM_MORPH_FROM = 23.0f;
constexpr float SWAM_MORPH_TO = 24.0f;
constexpr float SWAM_ENDING_FROM = 28.0f;

// t is the part time before this frame's advance. Only the first object starts over.
void LoopNightAndDay(float t) {
  SceneObject* first = g_swam.used.objects[0];
  if (!(first->local_time > SWAM_LOOP_FRAMES && t < SWAM_LOOP_UNTIL)) return;
  first->local_time = 0.0f;
  g_swam.background = 1 - g_swam.background;
}

// After the motion update: the second object, the sky and the first object's left bound.
void ApplySkyTime(float t) {
  SceneObject* first = g_swam.used.objects[0];
  if (t < SWAM_SKY_FROM) {
    g_swam.used.objects[1]->hidden = 1;
    return;
  }
  g_swam.used.objects[1]->hidden = 0;
  g_swam.background = SWAM_BACKGROUND_SKY;
  if (first->position[0] < SWAM_MIN_X) first->position[0] = SWAM_MIN_X;
}

// The target shape with the second texture until 23, back to the base shape during second
// 23, the first texture after 24. At exactly 24 nothing changes.
void MorphFirstMeshBack(float t) {
  Mesh* first = g_swam.used.meshes[0];
  if (t < SWAM_MORPH_FROM) {
    BlendMorph(first, 1.0f);
    first->surface_textures[0] = &g_swam.scene.textures[1];
    return;
  }
  if (t < SWAM_MORPH_TO) BlendMorph(first, 1.0f - (t - SWAM_MORPH_FROM));
  if (t > SWAM_MORPH_TO) first->surface_textures[0] = &g_swam.scene.textures[0];
}

// The ending's flags and the heart's shape, as the ending leaves them for the frame drawn
// after it: the third object alone, its mesh pulsing with period pi seconds (BlendMorph holds
// it in its target shape while the weight is past 1).
void PoseEnding(float heart_weight) {
  g_swam.used.objects[2]->hidden = 0;
  g_swam.used.objects[0]->hidden = 1;
  g_swam.used.objects[1]->hidden = 1;
  BlendMorph(g_swam.used.meshes[2], heart_weight);
}

// The end card over everything, then only the third object over it.
void DrawEnding() {
  DrawBackground(g_swam.images[SWAM_END_CARD]);
  PoseEnding(g_swam.heart_weight);
  RenderScene(&g_swam.scene);
}

// The layers of a frame after an ending frame see the ending's flags and heart shape of that
// frame, except for the second object, whose flag the step has set again since.
void PoseLayersAfterEnding() {
  const int32_t second_hidden = g_swam.used.objects[1]->hidden;
  PoseEnding(g_swam.layers_heart_weight);
  g_swam.used.objects[1]->hidden = second_hidden;
}

// An opaque end card as large as the frame replaces every pixel drawn before it, so in the
// ending's frames the layers under it need not be drawn at all; everything else they do
// (waves, clocks, motion, morphs, hidden flags) still runs in the step. Those frames draw two scenes
// and are the slowest of the demo otherwise.
bool EndCardHidesTheLayers(float t_after) {
  const Texture& card = g_swam.images[SWAM_END_CARD];
  return t_after > SWAM_ENDING_FROM && card.has_alpha == 0 && card.width >= g_demo.frame_buffer.frame.width &&
         card.height >= g_demo.frame_buffer.frame.height;
}

}  // namespace

static void ResetSwamClocks();

void LoadSwamScene() {
  ReleaseSwamScene();
  LoadPartImages(g_swam.images, kSwamFiles, SWAM_IMAGE_COUNT);
  Scene* scene = &g_swam.scene;
  g_swam.used = LoadPartScene(scene, "swam.xml", SWAM_MESHES_USED, SWAM_OBJECTS_USED);
  AppendSceneTexture(scene, "texture.png");
  AppendSceneTexture(scene, "texture2.png");
  for (Mesh* mesh : g_swam.used.meshes) mesh->surface_textures[0] = &scene->textures[0];
  SetBlendMode(BLEND_BASE, BLEND_COPY);
  g_swam.used.objects[0]->local_time = 0.0f;
  RestartPartScene(scene);
  for (Mesh* mesh : g_swam.used.meshes) mesh->env_map = 1;
  g_swam.used.objects[2]->hidden = 1;
  KeepSceneRewind(*scene, &g_swam.rewind);
}

// The background is drawn as it was before this frame's loop and sky may change it.
void StepSwamScene() {
  g_swam.shown_background = g_swam.background;
  StepWaves(&g_swam.waves);
  LoopNightAndDay(g_swam.part_time);
  g_swam.part_time = AdvancePartScene(&g_swam.scene, g_swam.part_time);
  const float t = g_swam.part_time;
  ApplySkyTime(t);
  MorphFirstMeshBack(t);
  g_swam.after_ending = g_swam.in_ending;
  g_swam.in_ending = t > SWAM_ENDING_FROM;
  g_swam.layers_heart_weight = g_swam.heart_weight;
  if (g_swam.in_ending) g_swam.heart_weight = static_cast<float>(std::sin(2.0 * t) + 1.0);
}

void PaintSwamScene() {
  const Texture* images = g_swam.images;
  const float t = g_swam.part_time;
  if (!EndCardHidesTheLayers(t)) {
    if (g_swam.after_ending) PoseLayersAfterEnding();
    DrawBackground(images[kSwamBackgrounds[g_swam.shown_background]]);
    DrawWaveStrip(images[SWAM_WAVE_REAR], g_swam.waves.rear);
    RenderScene(&g_swam.scene);
    DrawWaveStrip(images[SWAM_WAVE_MIDDLE], g_swam.waves.middle);
    DrawWaveStrip(images[SWAM_WAVE_FRONT], g_swam.waves.front);
    DrawBubble(kSwamBubbles, sizeof(kSwamBubbles) / sizeof(kSwamBubbles[0]), images, t);
  }
  if (g_swam.in_ending) DrawEnding();
}

void DrawSwamScene() {
  StepSwamScene();
  PaintSwamScene();
}

void RewindSwamScene() {
  RewindScene(&g_swam.scene, g_swam.rewind);
  ResetSwamClocks();
}

static void ResetSwamClocks() {
  g_swam.part_time = 0.0f;
  g_swam.background = g_swam.shown_background = 0;
  g_swam.in_ending = g_swam.after_ending = false;
  g_swam.heart_weight = g_swam.layers_heart_weight = 0.0f;
  g_swam.waves = InitialWaves();
}

void ReleaseSwamScene() {
  FreePartImages(g_swam.images, SWAM_IMAGE_COUNT);
  FreeScene(&g_swam.scene);
  g_swam.used = {};
  g_swam.rewind = {};
  ResetSwamClocks();
}
