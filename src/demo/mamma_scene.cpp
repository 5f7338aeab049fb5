#include "demo/mamma_scene.h"

#include "geometry/mesh.h"
#include "render/render_context.h"
#include "render/scene_pass.h"

namespace {

const char* const kMammaFiles[MAMMA_IMAGE_COUNT] = {"wavefront.png", "wavemiddle.png", "waveback.png",
                                                    "bg_sky.png",    "boble_zib.png",  "boble_zib1.png"};

const BubbleRow kMammaBubbles[] = {
    {2.0f, MAMMA_BUBBLE_1, 250, 110},
    {4.0f, MAMMA_BUBBLE_2, 330, 150},
    {5.0f, MAMMA_BUBBLE_1, 250, 110},
};

}  // namespace

void LoadMammaScene(MammaState* s) {
  ReleaseMammaScene(s);
  LoadPartImages(s->images, kMammaFiles, MAMMA_IMAGE_COUNT);
  Scene* scene = &s->scene;
  s->used = LoadPartScene(scene, "mamma1.xml", MAMMA_MESHES_USED, MAMMA_OBJECTS_USED);
  AppendSceneTexture(scene, "texture.png");
  s->used.meshes[0]->surface_textures[0] = &scene->textures[0];
  s->used.meshes[1]->surface_textures[0] = &scene->textures[0];
  StartPartScene(scene, s->used, MAMMA_MESHES_USED, 2, &s->rewind);
}

void StepMammaScene(MammaState* s, float delta) {
  StepWaves(&s->waves);
  s->part_time = AdvancePartScene(&s->scene, s->part_time, delta);
}

const Texture& MammaBackdrop(const MammaState& s) { return s.images[MAMMA_SKY]; }

void PaintMammaScene(const MammaState& s, Texture* frame) {
  PaintSceneLayers(frame, {&MammaBackdrop(s), &s.images[MAMMA_WAVE_FRONT], &s.images[MAMMA_WAVE_MIDDLE],
                           &s.images[MAMMA_WAVE_REAR], &s.waves, &s.scene, nullptr, kMammaBubbles,
                           sizeof(kMammaBubbles) / sizeof(kMammaBubbles[0]), s.images, s.part_time});
}

void DrawMammaScene(MammaState* s, float delta, Texture* frame) {
  StepMammaScene(s, delta);
  PaintMammaScene(*s, frame);
}

void RewindMammaScene(MammaState* s) {
  RewindScene(&s->scene, s->rewind);
  s->part_time = 0.0f;
  s->waves = InitialWaves();
}

void ReleaseMammaScene(MammaState* s) {
  FreePartImages(s->images, MAMMA_IMAGE_COUNT);
  FreeScene(&s->scene);
  s->used = {};
  s->rewind = {};
  s->part_time = 0.0f;
  s->waves = InitialWaves();
}
