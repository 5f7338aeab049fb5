#include "demo/swim_scene.h"

#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "render/render_context.h"
#include "render/scene_pass.h"

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
void LoopDayAndNight(SwimState* s, float t) {
  SceneObject* first = s->used.objects[0];
  if (!(first->local_time > SWIM_LOOP_FRAMES && t < SWIM_LOOP_UNTIL)) return;
  first->local_time = 0.0f;
  s->used.objects[1]->local_time = 0.0f;
  s->background = 1 - s->background;
}

// t is the part time after this frame's advance. At exactly 36 neither branch runs.
void MorphFirstMesh(SwimState* s, float t) {
  Mesh* first = s->used.meshes[0];
  if (t > SWIM_MORPH_FROM && t < SWIM_MORPH_TO) BlendMorph(first, t - SWIM_MORPH_FROM);
  if (t > SWIM_MORPH_TO) {
    BlendMorph(first, 1.0f);
    first->surface_textures[0] = &s->scene.textures[1];
  }
}

}  // namespace

void LoadSwimScene(SwimState* s) {
  ReleaseSwimScene(s);
  LoadPartImages(s->images, kSwimFiles, SWIM_IMAGE_COUNT);
  Scene* scene = &s->scene;
  s->used = LoadPartScene(scene, "swim.xml", SWIM_MESHES_USED, SWIM_OBJECTS_USED);
  AppendSceneTexture(scene, "texture.png");
  AppendSceneTexture(scene, "texture2.png");
  s->used.meshes[0]->surface_textures[0] = &scene->textures[0];
  s->used.meshes[1]->surface_textures[0] = &scene->textures[1];
  StartPartScene(scene, s->used, SWIM_MESHES_USED, 2, &s->rewind);
}

// The background is drawn as it was before this frame's loop test may flip it.
void StepSwimScene(SwimState* s, float delta) {
  StepWaves(&s->waves);
  s->shown_background = s->background;
  LoopDayAndNight(s, s->part_time);
  s->used.objects[1]->hidden = s->part_time < SWIM_SECOND_SHOWN ? 1 : 0;
  s->part_time = AdvancePartScene(&s->scene, s->part_time, delta);
  MorphFirstMesh(s, s->part_time);
}

const Texture& SwimBackdrop(const SwimState& s) { return s.images[SWIM_DAY + s.shown_background]; }

void PaintSwimScene(const SwimState& s, Texture* frame) {
  PaintSceneLayers(frame, {&SwimBackdrop(s), &s.images[SWIM_WAVE_FRONT], &s.images[SWIM_WAVE_MIDDLE],
                           &s.images[SWIM_WAVE_REAR], &s.waves, &s.scene, nullptr, kSwimBubbles,
                           sizeof(kSwimBubbles) / sizeof(kSwimBubbles[0]), s.images, s.part_time});
}

void DrawSwimScene(SwimState* s, float delta, Texture* frame) {
  StepSwimScene(s, delta);
  PaintSwimScene(*s, frame);
}

void RewindSwimScene(SwimState* s) {
  RewindScene(&s->scene, s->rewind);
  s->part_time = 0.0f;
  s->background = s->shown_background = 0;
  s->waves = InitialWaves();
}

void ReleaseSwimScene(SwimState* s) {
  FreePartImages(s->images, SWIM_IMAGE_COUNT);
  FreeScene(&s->scene);
  s->used = {};
  s->part_time = 0.0f;
  s->background = s->shown_background = 0;
  s->waves = InitialWaves();
  s->rewind = {};
}
