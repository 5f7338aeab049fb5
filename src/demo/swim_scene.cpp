#include "demo/swim_scene.h"

#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "render/render_context.h"
#include "render/scene_pass.h"

SwimState g_swim;

namespace {

const char* const kSwimFiles[SWIM_IMAGE_COUNT] = {"wavefront.png", "wavemiddle.png", "waveback.png", "bg_sol.png",
                                                  "bg_natt.png",   "boble_zib.png",  "boble_obj.png"};

const BubbleRow kSwimBubbles[] = {
    {30.0f, -1, 0, 0},
    {31.0f, SWIM_BUBBLE_A, 350, 120},
    {32.0f, SWIM_BUBBLE_B, 70, 150},
    {33.0f, SWIM_BUBBLE_A, 350, 120},
    {35.0f, SWIM_BUBBLE_B, 70, 150},
    {37.0f, SWIM_BUBBLE_B, 350, 120},
    {39.0f, SWIM_BUBBLE_A, 70, 150},
};

// Scene frames after which the first object's animation starts over (7.5 s at 20 frames a
// second), and the part time after which it no longer does.
constexpr float SWIM_LOOP_FRAMES = 150.0f;
constexpr float SWIM_LOOP_UNTIL = 20.0f;
constexpr float SWIM_SECOND_SHOWN = 10.5f;
constexpr float SWIM_MORPH_FROM = 35.0f;
constexpr float SWIM_MORPH_TO = 36.0f;

// t is the part time before this frame's advance.
void LoopDayAndNight(float t) {
  SceneObject* first = g_swim.used.objects[0];
  if (!(first->local_time > SWIM_LOOP_FRAMES && t < SWIM_LOOP_UNTIL)) return;
  first->local_time = 0.0f;
  g_swim.used.objects[1]->local_time = 0.0f;
  g_swim.background = 1 - g_swim.background;
}

// t is the part time after this frame's advance. At exactly 36 neither branch runs.
void MorphFirstMesh(float t) {
  Mesh* first = g_swim.used.meshes[0];
  if (t > SWIM_MORPH_FROM && t < SWIM_MORPH_TO) BlendMorph(first, t - SWIM_MORPH_FROM);
  if (t > SWIM_MORPH_TO) {
    BlendMorph(first, 1.0f);
    first->surface_textures[0] = &g_swim.scene.textures[1];
  }
}

}  // namespace

void LoadSwimScene() {
  ReleaseSwimScene();
  LoadPartImages(g_swim.images, kSwimFiles, SWIM_IMAGE_COUNT);
  Scene* scene = &g_swim.scene;
  g_swim.used = LoadPartScene(scene, "swim.xml", SWIM_MESHES_USED, SWIM_OBJECTS_USED);
  AppendSceneTexture(scene, "texture.png");
  AppendSceneTexture(scene, "texture2.png");
  g_swim.used.meshes[0]->surface_textures[0] = &scene->textures[0];
  g_swim.used.meshes[1]->surface_textures[0] = &scene->textures[1];
  SetBlendMode(BLEND_BASE, BLEND_COPY);
  g_swim.used.objects[0]->local_time = 0.0f;
  g_swim.used.objects[1]->local_time = 0.0f;
  RestartPartScene(scene);
  g_swim.used.meshes[0]->env_map = 1;
  g_swim.used.meshes[1]->env_map = 1;
  KeepSceneRewind(*scene, &g_swim.rewind);
}

// The background is drawn as it was before this frame's loop test may flip it.
void StepSwimScene() {
  StepWaves(&g_swim.waves);
  g_swim.shown_background = g_swim.background;
  LoopDayAndNight(g_swim.part_time);
  g_swim.used.objects[1]->hidden = g_swim.part_time < SWIM_SECOND_SHOWN ? 1 : 0;
  g_swim.part_time = AdvancePartScene(&g_swim.scene, g_swim.part_time);
  MorphFirstMesh(g_swim.part_time);
}

void PaintSwimScene() {
  const Texture* images = g_swim.images;
  DrawBackground(images[SWIM_DAY + g_swim.shown_background]);
  DrawWaveStrip(images[SWIM_WAVE_REAR], g_swim.waves.rear);
  RenderScene(&g_swim.scene);
  DrawWaveStrip(images[SWIM_WAVE_MIDDLE], g_swim.waves.middle);
  DrawWaveStrip(images[SWIM_WAVE_FRONT], g_swim.waves.front);
  DrawBubble(kSwimBubbles, sizeof(kSwimBubbles) / sizeof(kSwimBubbles[0]), images, g_swim.part_time);
}

void DrawSwimScene() {
  StepSwimScene();
  PaintSwimScene();
}

void RewindSwimScene() {
  RewindScene(&g_swim.scene, g_swim.rewind);
  g_swim.part_time = 0.0f;
  g_swim.background = g_swim.shown_background = 0;
  g_swim.waves = InitialWaves();
}

void ReleaseSwimScene() {
  FreePartImages(g_swim.images, SWIM_IMAGE_COUNT);
  FreeScene(&g_swim.scene);
  g_swim.used = {};
  g_swim.part_time = 0.0f;
  g_swim.background = g_swim.shown_background = 0;
  g_swim.waves = InitialWaves();
  g_swim.rewind = {};
}
