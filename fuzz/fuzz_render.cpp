// Scene scripts through the loader and then the renderer: the scene as the script leaves it
// (whole or cut short by a fatal error) drawn at several scene times into a 512 x 384 frame
// that is a window into a larger buffer, with guard rows above and below and guard columns
// either side of every row. A pixel written outside the window is a finding: the target says
// where and aborts.
//
// The scripts name the objects and motion file of WriteScriptFiles and the textures
// "skin.png" and "wood.png" (registered as ids 0 and 1; "ghost.png" has id 7, which names no
// texture). How each mesh is drawn (environment mapping, outlines), the capabilities and
// the blend modes follow from a hash of the input, so every input draws the same way each
// time it runs.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "render/render_context.h"
#include "render/scene_pass.h"
#include "resource/data_archive.h"
#include "resource/texture_table.h"
#include "scene/object_motion.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

namespace {

constexpr int32_t WIDTH = 512, HEIGHT = 384;
constexpr int32_t GUARD = 24;  // guard pixels on every side of the frame
constexpr int32_t PITCH = WIDTH + 2 * GUARD;
constexpr int32_t BUFFER_ROWS = HEIGHT + 2 * GUARD;
// Transparent black-ish, a value no texture here holds (their alpha is 0xFF).
constexpr uint32_t GUARD_PIXEL = 0x00C0FFEEu;
// Seconds each frame advances the scene by: a few frames in, then far along every curve.
constexpr float FRAME_SECONDS[] = {0.05f, 0.5f, 1.5f, 4.0f, 20.0f, 300.0f};

std::vector<uint32_t> g_buffer(static_cast<size_t>(PITCH) * BUFFER_ROWS, GUARD_PIXEL);

uint32_t* FrameOrigin() { return g_buffer.data() + static_cast<size_t>(GUARD) * PITCH + GUARD; }

// The frame the renderer draws into: a window into the guarded buffer.
FrameView g_window;

bool InsideFrame(int32_t row, int32_t column) {
  return row >= GUARD && row < GUARD + HEIGHT && column >= GUARD && column < GUARD + WIDTH;
}

void CheckGuards(float scene_time) {
  for (int32_t row = 0; row < BUFFER_ROWS; ++row) {
    for (int32_t column = 0; column < PITCH; ++column) {
      if (InsideFrame(row, column) || g_buffer[static_cast<size_t>(row) * PITCH + column] == GUARD_PIXEL) continue;
      std::fprintf(stderr, "fuzz_render: a pixel was written outside the frame, at row %d, column %d (scene time %g)\n",
                   row - GUARD, column - GUARD, scene_time);
      std::abort();
    }
  }
}

void RegisterCheckerTexture(uint32_t a, uint32_t b) {
  std::vector<uint32_t> texels(TEXTURE_SIZE * TEXTURE_SIZE);
  for (int32_t y = 0; y < TEXTURE_SIZE; ++y) {
    for (int32_t x = 0; x < TEXTURE_SIZE; ++x) texels[y * TEXTURE_SIZE + x] = ((x ^ y) & 16) ? a : b;
  }
  RegisterTexture(TEXTURE_SIZE, TEXTURE_SIZE, 4, texels.data());
}

void AddSceneTextures(Scene* scene) {
  const TextureRef textures[] = {{0, "skin.png"}, {1, "wood.png"}, {7, "ghost.png"}};
  for (const TextureRef& t : textures) scene->textures[scene->texture_count++] = t;
}

uint64_t HashOf(const uint8_t* data, size_t size) {
  uint64_t h = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h;
}

inline int32_t Bit(uint64_t settings, int32_t n) { return static_cast<int32_t>(settings >> (n % 64) & 1); }

// Per mesh: sphere mapping, outlines, and a texture for meshes that bound none (spheres
// never do), as the demo parts give them; for the frame: the second layer's sphere mapping
// and whether textures are on.
void SetDrawing(Scene* scene, uint64_t settings) {
  int32_t i = 0;
  for (Mesh* mesh = scene->meshes; mesh; mesh = mesh->next, ++i) {
    mesh->env_map = Bit(settings, 2 * i);
    mesh->outline = Bit(settings, 2 * i + 1);
    if (mesh->surface_count > 0 && mesh->surface_textures[0]) continue;
    mesh->surface_textures[0] = &scene->textures[(i + Bit(settings, 43)) % scene->texture_count];
    if (mesh->surface_count == 0) mesh->surface_count = 1;
  }
  Bit(settings, 40) ? RenderEnable(CAP_ENVMAP_LAYER2) : RenderDisable(CAP_ENVMAP_LAYER2);
  Bit(settings, 41) && Bit(settings, 42) ? RenderDisable(CAP_TEXTURE) : RenderEnable(CAP_TEXTURE);
}

// Every mode from -1 to 9 (9 and -1 are no mode at all), a different pair each frame.
void SetBlendModes(uint64_t settings, int32_t frame) {
  SetBlendMode(BLEND_BASE, static_cast<int32_t>((settings >> 48) % 11 + frame) % 11 - 1);
  SetBlendMode(BLEND_LAYER2, static_cast<int32_t>((settings >> 56) % 11 + 3 * frame) % 11 - 1);
}

void Morph(Scene* scene, float seconds) {
  for (Mesh* mesh = scene->meshes; mesh; mesh = mesh->next) BlendMorph(mesh, std::sin(2.0f * seconds) + 0.5f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  g_scene_xml.quiet = 1;
  if (chdir(ScratchFolder().c_str()) != 0) return 0;
  WriteScriptFiles();
  // The renderer is set up for a frame of its own size; every scene is drawn into the window.
  static std::vector<uint32_t> frame(static_cast<size_t>(WIDTH) * HEIGHT);
  InitRenderer(Texture{WIDTH, HEIGHT, frame.data(), 0});
  g_window = FrameView{WIDTH, HEIGHT, FrameOrigin(), PITCH};
  RegisterCheckerTexture(0xFF3060C0, 0xFFE0C040);
  RegisterCheckerTexture(0xFF808080, 0xFF202020);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint64_t settings = HashOf(data, size);
  Scene scene;
  AddSceneTextures(&scene);
  RunLoader([&] { LoadSceneXml(&scene, ChunkOf(data, size, "fuzz.xml")); });
  SetDrawing(&scene, settings);
  float seconds = 0.0f;
  for (int32_t frame = 0; frame < static_cast<int32_t>(sizeof FRAME_SECONDS / sizeof *FRAME_SECONDS); ++frame) {
    seconds += FRAME_SECONDS[frame];
    scene.delta_seconds = FRAME_SECONDS[frame];
    UpdateSceneMotion(&scene);
    Morph(&scene, seconds);
    SetBlendModes(settings, frame);
    RenderScene(g_window, &scene);
    CheckGuards(scene.time);
  }
  FreeScene(&scene);
  ResetSceneXmlState();
  // A <zfile> may have opened an archive: the next input starts from disk alone again.
  CloseArchive(&g_data_archive);
  g_data_archive.search_mode = SEARCH_DISK_ONLY;
  return 0;
}
