#include "demo/mamma_scene.h"

#include "geometry/mesh.h"
#include "render/render_context.h"
#include "render/scene_pass.h"

MammaState g_mamma;

namespace {

const char* const kMammaFiles[MAMMA_IMAGE_COUNT] = {"wavefront.png", "wavemiddle.png", "waveback.png",
                                                    "bg_sky.png",    "boble_zib.png",  "boble_zib1.png"};

const BubbleRow kMammaBubbles[] = {
    {2.0f, MAMMA_BUBBLE_1, 250, 110},
    {4.0f, MAMMA_BUBBLE_2, 330, 150},
    {5.0f, MAMMA_BUBBLE_1, 250, 110},
};

}  // namespace

void LoadMammaScene() {
  ReleaseMammaScene();
  LoadPartImages(g_mamma.images, kMammaFiles, MAMMA_IMAGE_COUNT);
  Scene* scene = &g_mamma.scene;
  g_mamma.used = LoadPartScene(scene, "mamma1.xml", MAMMA_MESHES_USED, MAMMA_OBJECTS_USED);
  AppendSceneTexture(scene, "texture.png");
  g_mamma.used.meshes[0]->surface_textures[0] = &scene->textures[0];
  g_mamma.used.meshes[1]->surface_textures[0] = &scene->textures[0];
  SetBlendMode(BLEND_BASE, BLEND_COPY);
  g_mamma.used.objects[0]->local_time = 0.0f;
  g_mamma.used.objects[1]->local_time = 0.0f;
  RestartPartScene(scene);
  g_mamma.used.meshes[0]->env_map = 1;
  g_mamma.used.meshes[1]->env_map = 1;
  KeepSceneRewind(*scene, &g_mamma.rewind);
}

void StepMammaScene() {
  StepWaves(&g_mamma.waves);
  g_mamma.part_time = AdvancePartScene(&g_mamma.scene, g_mamma.part_time);
}

void PaintMammaScene() {
  const Texture* images = g_mamma.images;
  DrawBackground(images[MAMMA_SKY]);
  DrawWaveStrip(images[MAMMA_WAVE_REAR], g_mamma.waves.rear);
  RenderScene(&g_mamma.scene);
  DrawWaveStrip(images[MAMMA_WAVE_MIDDLE], g_mamma.waves.middle);
  DrawWaveStrip(images[MAMMA_WAVE_FRONT], g_mamma.waves.front);
  DrawBubble(kMammaBubbles, sizeof(kMammaBubbles) / sizeof(kMammaBubbles[0]), images, g_mamma.part_time);
}

void DrawMammaScene() {
  StepMammaScene();
  PaintMammaScene();
}

void RewindMammaScene() {
  RewindScene(&g_mamma.scene, g_mamma.rewind);
  g_mamma.part_time = 0.0f;
  g_mamma.waves = InitialWaves();
}

void ReleaseMammaScene() {
  FreePartImages(g_mamma.images, MAMMA_IMAGE_COUNT);
  FreeScene(&g_mamma.scene);
  g_mamma.used = {};
  g_mamma.rewind = {};
  g_mamma.part_time = 0.0f;
  g_mamma.waves = InitialWaves();
}
