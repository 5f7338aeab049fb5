#include "preview/scene.h"

#include <algorithm>
#include <cmath>

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

namespace assets {

namespace {

uint8_t Byte(float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

// The previews are opaque: premultiplied and straight colours are the same there.
void CanvasToFrame(const Canvas& canvas, Texture* frame) {
  for (size_t i = 0; i < canvas.pixels.size(); ++i) {
    const Color& c = canvas.pixels[i];
    frame->pixels[i] = 0xFF000000u | uint32_t(Byte(c.r)) << 16 | uint32_t(Byte(c.g)) << 8 | Byte(c.b);
  }
}

void FrameToCanvas(const Texture& frame, Canvas* canvas) {
  for (size_t i = 0; i < canvas->pixels.size(); ++i) {
    uint32_t p = frame.pixels[i];
    canvas->pixels[i] = {float((p >> 16) & 0xFF) / 255.0f, float((p >> 8) & 0xFF) / 255.0f, float(p & 0xFF) / 255.0f,
                         1.0f};
  }
}

void AddSceneTexture(Scene* scene, const char* file) {
  LoadSceneTexture(&scene->textures[scene->texture_count], LoadFile(file));
  scene->texture_count++;
}

// What the scene parts do after loading, and what their frames do before drawing.
void PoseScene(Scene* scene, const ScenePose& pose) {
  AddSceneTexture(scene, "texture.png");
  AddSceneTexture(scene, "texture2.png");
  int n = 0;
  for (Mesh* mesh = scene->meshes; mesh && n < 3; mesh = mesh->next, ++n) {
    if (n < pose.shaded_meshes) {
      mesh->surface_textures[0] = &scene->textures[0];
      mesh->env_map = 1;
    }
    if (pose.morph[n] >= 0.0f) BlendMorph(mesh, pose.morph[n]);
  }
  if (pose.first_in_texture2 && scene->meshes) scene->meshes->surface_textures[0] = &scene->textures[1];
  scene->fps = 20.0f;
  scene->time = 1.0f;  // objects are drawn once the scene's clock has passed 0
  n = 0;
  for (SceneObject* object = scene->objects; object; object = object->next, ++n) {
    object->local_time = n < 3 ? pose.object_seconds[n] * scene->fps : 0.0f;
    EvaluateMotion(object, 0.0f);
    object->hidden = (pose.hidden_mask >> n) & 1;
  }
  scene->camera->local_time = pose.camera_seconds * scene->fps;
  EvaluateMotion(scene->camera, 0.0f);
}

}  // namespace

bool DrawScenePose(Canvas* frame, const ScenePose& pose, std::string* error) {
  Texture target = CreateTexture(frame->width, frame->height);
  CanvasToFrame(*frame, &target);
  InitRenderer(target);
  RenderEnable(CAP_TEXTURE);
  RenderEnable(CAP_INERT_1002);
  SetBlendMode(BLEND_BASE, BLEND_COPY);
  bool ok = true;
  {
    Scene scene;
    ResetSceneXmlState();
    try {
      LoadSceneXml(&scene, LoadFile(pose.script));
      PoseScene(&scene, pose);
      RenderScene(FrameViewOf(&target), &scene);
    } catch (const FatalError& failure) {
      if (error) *error = std::string(pose.script) + ": " + failure.what();
      ok = false;
    }
    ResetSceneXmlState();
  }
  FrameToCanvas(target, frame);
  ReleaseRenderer();
  FreeTexture(&target);
  return ok;
}

}  // namespace assets
