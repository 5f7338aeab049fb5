// Steps the three scene parts ("mamma1", "swim", "swam") share: their images, their scene
// script with the meshes and objects each part reaches for by position, the mesh textures
// appended after the script, the per-frame clock, and the speech-bubble tables.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "demo/wave_layer.h"
#include "display/image_blit.h"
#include "resource/texture.h"
#include "scene/scene_object.h"

struct RenderOverride;
struct Scene;
struct Mesh;
struct SceneObject;

// The most meshes and objects a part reaches for by position.
constexpr int32_t SCENE_PART_MAX_USED = 3;

// What a part holds on to of its scene: the first meshes and objects of the lists, taken
// once after loading (the lists never change afterwards).
struct ScenePartHandles {
  Mesh* meshes[SCENE_PART_MAX_USED];
  SceneObject* objects[SCENE_PART_MAX_USED];
};

// What a part's scene looks like right after loading, so a seek can put it back: every
// object's and the camera's record (channels, clocks, flags), each mesh's surface bindings,
// and the scene clock. Meshes with a morph target are put back in their base shape.
struct SceneRewind {
  std::vector<SceneObject> objects;  // in list order; links are not restored from here
  SceneObject camera;
  std::vector<int16_t> surface_textures;  // per mesh, MESH_MAX_SURFACES entries of the
                                          // scene's texture list; -1: none
  float time, fps;
};

// Takes the snapshot; the part calls it last in its loader.
void KeepSceneRewind(const Scene& scene, SceneRewind* rewind);
// Puts the scene back as the snapshot has it.
void RewindScene(Scene* scene, const SceneRewind& rewind);

// Decodes count images in order; a missing one stays empty and draws nothing.
void LoadPartImages(Texture* images, const char* const* files, int32_t count);
void FreePartImages(Texture* images, int32_t count);

// Loads the script into scene and returns its first meshes and objects. A script that
// defines fewer meshes or objects than the part uses is a fatal data error (status 1): the
// part would otherwise reach through null links on its first frame.
ScenePartHandles LoadPartScene(Scene* scene, const char* script, int32_t meshes, int32_t objects);

// Registers a mesh texture and appends it after the script's own. A scene whose texture
// list is already full is left as it is (with a line on stderr).
void AppendSceneTexture(Scene* scene, const char* file);

// The scene's clock as the parts run it, whatever the script set: time 0, 20 frames a second.
void RestartPartScene(Scene* scene);

// The end of every scene part's loader: the base layer copied, the first `clocks` objects'
// animations at their start, the scene's clock restarted, the first `meshes` meshes drawn
// with an environment-mapped lightmap, and the scene kept for rewinding as it then stands.
void StartPartScene(Scene* scene, const ScenePartHandles& used, int32_t meshes, int32_t clocks, SceneRewind* rewind);

// The frame's delta into the scene and the part's clock, then the motion update. Returns the
// part's new time.
float AdvancePartScene(Scene* scene, float part_time, float delta);

// One row of a part's speech-bubble table: from the previous row's bound (exclusive) up to
// and including until, image is drawn at (x, y); image -1 draws none.
struct BubbleRow {
  float until;
  int32_t image;
  int32_t x, y;
};

constexpr float BUBBLE_FOREVER = std::numeric_limits<float>::infinity();

// Draws the bubble of the first row whose bound t does not pass; past the last row, none.
// Returns the rows it drew.
RowSpan DrawBubble(Texture* frame, const BubbleRow* rows, int32_t count, const Texture* images, float t);

// A full-frame image at the frame's top-left corner.
void DrawBackground(Texture* frame, const Texture& image);

// What a scene part draws each frame, bottom to top: the backdrop, the rear wave strip, the
// 3D scene (as the view says, when there is one), the middle and front strips, then the
// bubble the table gives for the part's time.
struct SceneLayers {
  const Texture* backdrop;
  const Texture* front_strip;
  const Texture* middle_strip;
  const Texture* rear_strip;
  const WaveLayers* waves;
  const Scene* scene;
  const RenderOverride* view;  // null: the scene as its records say
  const BubbleRow* bubbles;
  int32_t bubble_count;
  const Texture* images;  // what the bubble rows' image numbers index
  float part_time;
};
void PaintSceneLayers(Texture* frame, const SceneLayers& layers);
