#include "demo/scene_part.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "demo/backdrop.h"
#include "demo/demo_state.h"
#include "demo/wave_layer.h"
#include "display/image_blit.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "geometry/motion.h"
#include "platform/fatal.h"
#include "render/render_context.h"
#include "render/scene_pass.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"
#include "resource/texture_table.h"
#include "scene/object_motion.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

namespace {

constexpr float PART_SCENE_FPS = 20.0f;

[[noreturn]] void RaiseShortScript(const char* script, int32_t needed, int32_t defined, const char* what) {
  RaiseFatal(std::string(script) + ": the part needs " + std::to_string(needed) + " " + what +
                 ", the script defines " + std::to_string(defined) + "\n",
             "", 1);
}

}  // namespace

void LoadPartImages(Texture* images, const char* const* files, int32_t count) {
  for (int32_t i = 0; i < count; ++i) images[i] = DecodePng(LoadFile(files[i]));
}

void FreePartImages(Texture* images, int32_t count) {
  for (int32_t i = 0; i < count; ++i) FreeTexture(&images[i]);
}

ScenePartHandles LoadPartScene(Scene* scene, const char* script, int32_t meshes, int32_t objects) {
  LoadSceneXml(scene, LoadFile(script));
  if (scene->mesh_count < meshes) RaiseShortScript(script, meshes, scene->mesh_count, "meshes");
  if (scene->object_count < objects) RaiseShortScript(script, objects, scene->object_count, "objects");
  ScenePartHandles handles = {};
  Mesh* mesh = scene->meshes;
  for (int32_t i = 0; i < meshes && i < SCENE_PART_MAX_USED; ++i, mesh = mesh->next) handles.meshes[i] = mesh;
  SceneObject* object = scene->objects;
  for (int32_t i = 0; i < objects && i < SCENE_PART_MAX_USED; ++i, object = object->next) handles.objects[i] = object;
  return handles;
}

void AppendSceneTexture(Scene* scene, const char* file) {
  if (scene->texture_count >= SCENE_MAX_TEXTURES) {
    std::fprintf(stderr, "%s: the scene's %d texture entries are taken; not appended\n", file, SCENE_MAX_TEXTURES);
    return;
  }
  LoadSceneTexture(&scene->textures[scene->texture_count], LoadFile(file));
  scene->texture_count++;
}

void RestartPartScene(Scene* scene) {
  scene->time = 0.0f;
  scene->fps = PART_SCENE_FPS;
}

void StartPartScene(Scene* scene, const ScenePartHandles& used, int32_t meshes, int32_t clocks, SceneRewind* rewind) {
  SetBlendMode(BLEND_BASE, BLEND_COPY);
  for (int32_t i = 0; i < clocks && i < SCENE_PART_MAX_USED; ++i) used.objects[i]->local_time = 0.0f;
  RestartPartScene(scene);
  for (int32_t i = 0; i < meshes && i < SCENE_PART_MAX_USED; ++i) used.meshes[i]->env_map = 1;
  KeepSceneRewind(*scene, rewind);
}

float AdvancePartScene(Scene* scene, float part_time, float delta) {
  scene->delta_seconds = delta;
  part_time += delta;
  UpdateSceneMotion(scene);
  return part_time;
}

void KeepSceneRewind(const Scene& scene, SceneRewind* rewind) {
  rewind->objects.clear();
  for (const SceneObject* object = scene.objects; object; object = object->next) rewind->objects.push_back(*object);
  rewind->camera = *scene.camera;
  rewind->surface_textures.clear();
  for (const Mesh* mesh = scene.meshes; mesh; mesh = mesh->next) {
    for (const TextureRef* ref : mesh->surface_textures) {
      const bool listed = ref >= scene.textures && ref < scene.textures + SCENE_MAX_TEXTURES;
      rewind->surface_textures.push_back(listed ? static_cast<int16_t>(ref - scene.textures) : -1);
    }
  }
  rewind->time = scene.time;
  rewind->fps = scene.fps;
}

namespace {

// Everything but the links and what the object owns: the loader's values of every field
// the frames change.
void RestoreObject(SceneObject* object, const SceneObject& kept) {
  SceneObject* next = object->next;
  SceneObject* prev = object->prev;
  *object = kept;
  object->next = next;
  object->prev = prev;
}

}  // namespace

void RewindScene(Scene* scene, const SceneRewind& rewind) {
  size_t i = 0;
  for (SceneObject* object = scene->objects; object && i < rewind.objects.size(); object = object->next, ++i) {
    RestoreObject(object, rewind.objects[i]);
  }
  RestoreObject(scene->camera, rewind.camera);
  size_t t = 0;
  for (Mesh* mesh = scene->meshes; mesh && t < rewind.surface_textures.size(); mesh = mesh->next) {
    for (TextureRef*& ref : mesh->surface_textures) {
      const int16_t entry = rewind.surface_textures[t++];
      ref = entry >= 0 ? &scene->textures[entry] : nullptr;
    }
    if (mesh->morph_count == 2) BlendMorph(mesh, 0.0f);
  }
  scene->time = rewind.time;
  scene->fps = rewind.fps;
  scene->delta_seconds = 0.0f;
}

RowSpan DrawBubble(Texture* frame, const BubbleRow* rows, int32_t count, const Texture* images, float t) {
  for (int32_t i = 0; i < count; ++i) {
    if (!(t <= rows[i].until)) continue;
    if (rows[i].image < 0) return {0, 0};
    DrawImage(frame, &images[rows[i].image], rows[i].x, rows[i].y);
    return ImageRows(*frame, images[rows[i].image], rows[i].y);
  }
  return {0, 0};
}

void DrawBackground(Texture* frame, const Texture& image) { DrawImage(frame, &image, 0, 0); }

namespace {

// The layers in the order they have always been drawn, each over the whole of what is below.
void PaintLayersInFull(Texture* frame, const SceneLayers& layers) {
  DrawBackground(frame, *layers.backdrop);
  DrawWaveStrip(frame, *layers.rear_strip, layers.waves->rear);
  RenderScene(FrameViewOf(frame), layers.scene, layers.view);
  DrawWaveStrip(frame, *layers.middle_strip, layers.waves->middle);
  DrawWaveStrip(frame, *layers.front_strip, layers.waves->front);
  DrawBubble(frame, layers.bubbles, layers.bubble_count, layers.images, layers.part_time);
}

}  // namespace

// Most of a scene part's frame is its backdrop, frame after frame: the scene and the bubbles
// cover a few rows of it and the strips the bottom. So the backdrop is put back only in the
// rows the last paint drew on, and the rear strip's rows are composed from the backdrop and
// the strip in one pass; the pixels are those of drawing every layer in full.
void PaintSceneLayers(Texture* frame, const SceneLayers& layers) {
  const Texture& backdrop = *layers.backdrop;
  if (!ImageCoversFrame(backdrop, frame->width, frame->height)) {
    PaintLayersInFull(frame, layers);
    ForgetBackdropDamage(frame);
    return;
  }
  const WaveLayers& waves = *layers.waves;
  const RowSpan rear = DrawImageOver(frame, &backdrop, layers.rear_strip, waves.rear.position - WAVE_SWING, WAVE_ROW);
  PutBackBackdrop(frame, backdrop, rear);
  if (rear.bottom <= rear.top) DrawWaveStrip(frame, *layers.rear_strip, waves.rear);
  RenderScene(FrameViewOf(frame), layers.scene, layers.view);
  DrawWaveStrip(frame, *layers.middle_strip, waves.middle);
  DrawWaveStrip(frame, *layers.front_strip, waves.front);
  RowSpan drawn = DrawBubble(frame, layers.bubbles, layers.bubble_count, layers.images, layers.part_time);
  drawn = Hull(drawn, {g_render.drawn_top, g_render.drawn_bottom});
  for (const Texture* strip : {layers.rear_strip, layers.middle_strip, layers.front_strip}) {
    drawn = Hull(drawn, ImageRows(*frame, *strip, WAVE_ROW));
  }
  KeepBackdropDamage(frame, backdrop, drawn);
}
