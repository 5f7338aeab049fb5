#include "demo/swam_scene.h"

#include <cmath>

#include "demo/backdrop.h"
#include "demo/demo_state.h"
#include "demo/frame_buffer.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "render/render_context.h"
#include "render/scene_pass.h"

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
void LoopNightAndDay(SwamState* s, float t) {
  SceneObject* first = s->used.objects[0];
  if (!(first->local_time > SWAM_LOOP_FRAMES && t < SWAM_LOOP_UNTIL)) return;
  first->local_time = 0.0f;
  s->background = 1 - s->background;
}

// After the motion update: the second object, the sky and the first object's left bound.
void ApplySkyTime(SwamState* s, float t) {
  SceneObject* first = s->used.objects[0];
  if (t < SWAM_SKY_FROM) {
    s->used.objects[1]->hidden = 1;
    return;
  }
  s->used.objects[1]->hidden = 0;
  s->background = SWAM_BACKGROUND_SKY;
  if (first->position[0] < SWAM_MIN_X) first->position[0] = SWAM_MIN_X;
}

// The target shape with the second texture until 23, back to the base shape during second
// 23, the first texture after 24. At exactly 24 nothing changes.
void MorphFirstMeshBack(SwamState* s, float t) {
  Mesh* first = s->used.meshes[0];
  if (t < SWAM_MORPH_FROM) {
    BlendMorph(first, 1.0f);
    first->surface_textures[0] = &s->scene.textures[1];
    return;
  }
  if (t < SWAM_MORPH_TO) BlendMorph(first, 1.0f - (t - SWAM_MORPH_FROM));
  if (t > SWAM_MORPH_TO) first->surface_textures[0] = &s->scene.textures[0];
}

// The heart's mesh with the part's own vertices, for the step to pose them as the layers of an
// ending frame draw the heart. Made where it is used: the scene's texture bindings move with
// the scene when a reload swaps it, and a record kept here would not follow them.
Mesh LayersHeart(SwamState* s) {
  Mesh heart = *s->used.meshes[2];
  heart.vertices = s->layers_heart_vertices.data();
  return heart;
}

// An opaque end card as large as the frame replaces every pixel drawn before it, so in the
// ending's frames the layers under it need not be drawn at all; everything else they do
// (waves, clocks, motion, morphs, hidden flags) still runs in the step. Those frames draw two
// scenes and are the slowest of the demo otherwise.
bool EndCardHidesTheLayers(const SwamState& s, int32_t width, int32_t height) {
  return s.in_ending && ImageCoversFrame(s.images[SWAM_END_CARD], width, height);
}

// The ending draws the third object alone over the end card, its mesh pulsing with period pi
// seconds (BlendMorph holds it in its target shape while the weight is past 1). What the
// ending shows stays in the scene for the frames after it: the first object hidden, the
// third shown. The second is the sky's to show, and the step shows it again each frame.
void SettleEnding(SwamState* s, float t) {
  s->ending_before = s->in_ending;
  s->in_ending = t > SWAM_ENDING_FROM;
  s->layers_heart_weight = s->heart_weight;
  if (!s->in_ending) return;
  if (s->ending_before) {
    s->used.objects[0]->hidden = 1;
    s->used.objects[2]->hidden = 0;
  }
  s->heart_weight = static_cast<float>(std::sin(2.0 * t) + 1.0);
  BlendMorph(s->used.meshes[2], s->heart_weight);
  // Layers drawn in an ending frame show the heart as the frame before left it (whether an
  // end card hides them is the paint's to know: it depends on the frame).
  Mesh layers_heart = LayersHeart(s);
  BlendMorph(&layers_heart, s->layers_heart_weight);
}

// The layers' render: in the ending (when the card lets them show) the heart's mesh is drawn
// as the frame before left it, from the part's own copy of its vertices.
RenderOverride LayersView(const SwamState& s) {
  RenderOverride view;
  if (s.in_ending) {
    view.mesh = s.used.meshes[2];
    view.drawn_vertices = s.layers_heart_vertices.data();
  }
  return view;
}

// The ending's render: only the third object of the three (and whatever the script has
// after them), over the end card.
RenderOverride EndingView(const SwamState& s) {
  RenderOverride view;
  view.count = 3;
  for (int i = 0; i < 3; ++i) {
    view.objects[i] = s.used.objects[i];
    view.hidden[i] = i == 2 ? 0 : 1;
  }
  return view;
}

void ResetSwamClocks(SwamState* s) {
  s->part_time = 0.0f;
  s->background = s->shown_background = 0;
  s->in_ending = s->ending_before = false;
  s->heart_weight = s->layers_heart_weight = 0.0f;
  s->waves = InitialWaves();
}

}  // namespace

void LoadSwamScene(SwamState* s) {
  ReleaseSwamScene(s);
  LoadPartImages(s->images, kSwamFiles, SWAM_IMAGE_COUNT);
  Scene* scene = &s->scene;
  s->used = LoadPartScene(scene, "swam.xml", SWAM_MESHES_USED, SWAM_OBJECTS_USED);
  AppendSceneTexture(scene, "texture.png");
  AppendSceneTexture(scene, "texture2.png");
  for (Mesh* mesh : s->used.meshes) mesh->surface_textures[0] = &scene->textures[0];
  s->used.objects[2]->hidden = 1;
  StartPartScene(scene, s->used, SWAM_MESHES_USED, 1, &s->rewind);
  const Mesh& heart = *s->used.meshes[2];
  s->layers_heart_vertices.assign(heart.vertices, heart.vertices + heart.vertex_count);
}

// The background is drawn as it was before this frame's loop and sky may change it.
void StepSwamScene(SwamState* s, float delta) {
  s->shown_background = s->background;
  StepWaves(&s->waves);
  LoopNightAndDay(s, s->part_time);
  s->part_time = AdvancePartScene(&s->scene, s->part_time, delta);
  const float t = s->part_time;
  ApplySkyTime(s, t);
  MorphFirstMeshBack(s, t);
  SettleEnding(s, t);
}

const Texture& SwamBackdrop(const SwamState& s, int32_t width, int32_t height) {
  return EndCardHidesTheLayers(s, width, height) ? s.images[SWAM_END_CARD]
                                                 : s.images[kSwamBackgrounds[s.shown_background]];
}

void PaintSwamScene(const SwamState& s, Texture* frame) {
  const bool card_hides_layers = EndCardHidesTheLayers(s, frame->width, frame->height);
  if (!card_hides_layers) {
    const RenderOverride layers = LayersView(s);
    PaintSceneLayers(frame, {&SwamBackdrop(s, frame->width, frame->height), &s.images[SWAM_WAVE_FRONT], &s.images[SWAM_WAVE_MIDDLE],
                             &s.images[SWAM_WAVE_REAR], &s.waves, &s.scene, &layers, kSwamBubbles,
                             sizeof(kSwamBubbles) / sizeof(kSwamBubbles[0]), s.images, s.part_time});
  }
  if (!s.in_ending) return;
  const Texture& card = s.images[SWAM_END_CARD];
  const RenderOverride ending = EndingView(s);
  if (card_hides_layers) {
    // The card is the frame's backdrop then, and the scene its damage.
    PutBackBackdrop(frame, card, RowSpan{0, 0});
    RenderScene(FrameViewOf(frame), &s.scene, &ending);
    KeepBackdropDamage(frame, card, RowSpan{g_render.drawn_top, g_render.drawn_bottom});
    return;
  }
  ForgetBackdropDamage(frame);  // a card over the layers leaves no backdrop under the scene
  DrawBackground(frame, card);
  RenderScene(FrameViewOf(frame), &s.scene, &ending);
}

void DrawSwamScene(SwamState* s, float delta, Texture* frame) {
  StepSwamScene(s, delta);
  PaintSwamScene(*s, frame);
}

void RewindSwamScene(SwamState* s) {
  RewindScene(&s->scene, s->rewind);
  ResetSwamClocks(s);
}

void ReleaseSwamScene(SwamState* s) {
  FreePartImages(s->images, SWAM_IMAGE_COUNT);
  FreeScene(&s->scene);
  s->used = {};
  s->rewind = {};
  s->layers_heart_vertices.clear();
  ResetSwamClocks(s);
}
