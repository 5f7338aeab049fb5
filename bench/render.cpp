// The renderer against SDL2's software renderer in the same run.
//
// Scenes of 1,000, 5,000 and 20,000 textured triangles in two layers that each cover the
// frame once, so every frame fills it about twice; each layer wears the texture once, its
// triangles sharing coordinates at shared corners as a mesh's do. "triangles" draws the screen-space
// triangles straight through the rasterizer; SDL gets the very same triangles and texture
// through SDL_RenderGeometry on a 512x384 ARGB8888 surface. "scene" runs the whole pass
// (transform, cull, sort, clip, fill) over meshes that project onto those triangles, with
// given texture coordinates (copy) and with sphere mapping (envmap). "fill" is the raw copy
// fill rate: two triangles that cover the frame. "blend" is each blend mode, packed against
// the one-pixel form. "plain" is the reference set-up and span loops, a value and a pixel
// at a time.
//
// Counters: fps = frames per second, pixels/s = filled pixels per second (the triangles'
// area, which the fill convention covers exactly on average).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "geometry/mesh.h"
#include "ratio_reporter.h"
#include "render/blend.h"
#include "render/rasterizer.h"
#include "render/render_context.h"
#include "render/scene_pass.h"
#include "resource/texture_table.h"
#include "scene/scene.h"

namespace {

constexpr int kWidth = 512;
constexpr int kHeight = 384;
constexpr float kLayerDepth[2] = {40.0f, 60.0f};  // camera depths, the far layer drawn first
constexpr int kMeshTriangles = 5000;               // a mesh indexes at most 32768 vertices

struct ScreenTriangle {
  float sx[3], sy[3], u[3], v[3];
};

// A checkerboard over colour ramps, so a captured frame shows how texels land.
std::vector<uint32_t> PatternTexture() {
  std::vector<uint32_t> texels(TEXTURE_SIZE * TEXTURE_SIZE);
  for (uint32_t y = 0; y < 256; ++y) {
    for (uint32_t x = 0; x < 256; ++x) {
      const uint32_t ramp = x << 16 | y << 8 | 0x80;
      const bool dark = ((x >> 5) ^ (y >> 5)) & 1;
      texels[y * 256 + x] = 0xFF000000u | (dark ? (ramp >> 1) & 0x7F7F7F : ramp);
    }
  }
  return texels;
}

// count triangles: two layers, each a grid of jittered cells over the frame (kept 2 pixels
// inside it, where the pass draws), each cell cut into two clockwise triangles.
std::vector<ScreenTriangle> MakeScreenTriangles(int count) {
  std::mt19937 random(static_cast<uint32_t>(count));
  std::uniform_real_distribution<float> jitter(-0.2f, 0.2f);
  const int cells = count / 4;  // per layer
  const int columns = static_cast<int>(std::lround(std::sqrt(cells * 4.0 / 3.0)));
  const int rows = cells / columns;
  const float cw = (kWidth - 4.0f) / columns, ch = (kHeight - 4.0f) / rows;
  std::vector<ScreenTriangle> out;
  for (int layer = 0; layer < 2; ++layer) {
    // Grid points, jittered inside, the border fixed.
    std::vector<float> gx((columns + 1) * (rows + 1)), gy(gx.size());
    for (int j = 0; j <= rows; ++j) {
      for (int i = 0; i <= columns; ++i) {
        const bool inner = i > 0 && i < columns && j > 0 && j < rows;
        gx[j * (columns + 1) + i] = 2.0f + cw * (i + (inner ? jitter(random) : 0.0f));
        gy[j * (columns + 1) + i] = 2.0f + ch * (j + (inner ? jitter(random) : 0.0f));
      }
    }
    auto corner = [&](ScreenTriangle* t, int k, int i, int j) {
      t->sx[k] = gx[j * (columns + 1) + i];
      t->sy[k] = gy[j * (columns + 1) + i];
      // Each layer wears the texture once, as a mesh would: neighbours share coordinates.
      t->u[k] = t->sx[k] * (255.0f / kWidth);
      t->v[k] = t->sy[k] * (255.0f / kHeight);
    };
    for (int j = 0; j < rows; ++j) {
      for (int i = 0; i < columns; ++i) {
        ScreenTriangle a, b;
        corner(&a, 0, i, j), corner(&a, 1, i + 1, j), corner(&a, 2, i, j + 1);
        corner(&b, 0, i + 1, j), corner(&b, 1, i + 1, j + 1), corner(&b, 2, i, j + 1);
        out.push_back(a);
        out.push_back(b);
      }
    }
  }
  return out;
}

double Area(const ScreenTriangle& t) {
  return 0.5 * std::fabs((t.sx[1] - t.sx[0]) * (t.sy[2] - t.sy[0]) - (t.sy[1] - t.sy[0]) * (t.sx[2] - t.sx[0]));
}

double TotalArea(const std::vector<ScreenTriangle>& triangles) {
  double area = 0;
  for (const ScreenTriangle& t : triangles) area += Area(t);
  return area;
}

void SetCounters(benchmark::State& state, double pixels_per_frame) {
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["pixels/s"] =
      benchmark::Counter(pixels_per_frame * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

std::vector<RenderVertex> Corners(const std::vector<ScreenTriangle>& triangles) {
  std::vector<RenderVertex> corners;
  for (const ScreenTriangle& t : triangles) {
    for (int k = 0; k < 3; ++k) {
      RenderVertex c{};
      c.sx = t.sx[k], c.sy = t.sy[k], c.u = t.u[k], c.v = t.v[k];
      corners.push_back(c);
    }
  }
  return corners;
}

void DrawCorners(bool reference, const Texture& texture, const std::vector<RenderVertex>& corners) {
  for (size_t i = 0; i < corners.size(); i += 3) {
    if (reference) {
      DrawTriangleReference(&texture, nullptr, &corners[i]);
    } else {
      DrawTexturedTriangle(&texture, &corners[i]);
    }
  }
}

// The frame and the renderer's view of it, in copy mode.
struct Frame {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(kWidth * kHeight, 0);
  Texture texture{kWidth, kHeight, pixels.data(), 0};
  Frame() {
    InitRenderer(texture);
    RenderEnable(CAP_TEXTURE);
    SetBlendMode(BLEND_BASE, BLEND_COPY);
  }
  ~Frame() { ReleaseRenderer(); }
};

void Triangles(benchmark::State& state, bool reference) {
  const auto triangles = MakeScreenTriangles(static_cast<int>(state.range(0)));
  const auto corners = Corners(triangles);
  auto texels = PatternTexture();
  const Texture texture{TEXTURE_SIZE, TEXTURE_SIZE, texels.data(), 0};
  Frame frame;
  for (auto _ : state) {
    DrawCorners(reference, texture, corners);
    benchmark::ClobberMemory();
  }
  SetCounters(state, TotalArea(triangles));
}

void SdlTriangles(benchmark::State& state) {
  const auto triangles = MakeScreenTriangles(static_cast<int>(state.range(0)));
  auto texels = PatternTexture();
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* renderer = target ? SDL_CreateSoftwareRenderer(target) : nullptr;
  SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                                      TEXTURE_SIZE, TEXTURE_SIZE)
                                  : nullptr;
  if (texture == nullptr) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  SDL_UpdateTexture(texture, nullptr, texels.data(), TEXTURE_SIZE * 4);
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
  std::vector<SDL_Vertex> vertices;
  for (const ScreenTriangle& t : triangles) {
    for (int k = 0; k < 3; ++k) {
      vertices.push_back(SDL_Vertex{{t.sx[k], t.sy[k]}, {255, 255, 255, 255}, {t.u[k] / 256.0f, t.v[k] / 256.0f}});
    }
  }
  for (auto _ : state) {
    SDL_RenderGeometry(renderer, texture, vertices.data(), static_cast<int>(vertices.size()), nullptr, 0);
    SDL_RenderFlush(renderer);
    benchmark::ClobberMemory();
  }
  SetCounters(state, TotalArea(triangles));
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(target);
}

// Meshes whose corners project onto the screen triangles: the default camera stands at
// z = 20 and turns nothing, so a vertex (x, y, z) lands at camera (x, y, z + 20).
void BuildScene(Scene* scene, const std::vector<ScreenTriangle>& triangles, bool env_map) {
  auto texels = PatternTexture();
  TextureRef* ref = &scene->textures[scene->texture_count++];
  ref->id = RegisterTexture(TEXTURE_SIZE, TEXTURE_SIZE, 4, texels.data());
  std::mt19937 random(4);
  std::uniform_real_distribution<float> tilt(-0.6f, 0.6f);
  const size_t per_layer = triangles.size() / 2;
  for (size_t first = 0; first < triangles.size(); first += kMeshTriangles) {
    const int32_t n = static_cast<int32_t>(std::min<size_t>(kMeshTriangles, triangles.size() - first));
    Mesh* mesh = AddMesh(scene);
    mesh->vertices = new MeshVertex[3 * n]();
    mesh->vertex_count = 3 * n;
    mesh->triangle_count = n;
    mesh->triangles = AllocateMeshTriangles(n);
    mesh->surface_count = 1;
    mesh->surface_textures[0] = ref;
    mesh->env_map = env_map ? 1 : 0;
    for (int32_t i = 0; i < n; ++i) {
      const ScreenTriangle& s = triangles[first + i];
      // The far layer is drawn first, so the near one lands on top of it.
      const float depth = kLayerDepth[(first + i) < per_layer ? 1 : 0];
      float* u[3] = {&mesh->triangles[i].u0, &mesh->triangles[i].u1, &mesh->triangles[i].u2};
      float* t[3] = {&mesh->triangles[i].t0, &mesh->triangles[i].t1, &mesh->triangles[i].t2};
      for (int k = 0; k < 3; ++k) {
        const float x = (s.sx[k] - kWidth / 2) * depth / FOCAL_LENGTH;
        const float y = (s.sy[k] - kHeight / 2) * depth / FOCAL_LENGTH;
        const float nx = tilt(random), ny = tilt(random);
        mesh->vertices[3 * i + k] = MeshVertex{x, y, depth - CAMERA_START_Z, nx, ny, 1.0f, 0, 0};
        *u[k] = s.u[k] / 255.0f;
        *t[k] = s.v[k] / 255.0f;
      }
      mesh->triangles[i].index0 = static_cast<int16_t>(3 * i);
      mesh->triangles[i].index1 = static_cast<int16_t>(3 * i + 1);
      mesh->triangles[i].index2 = static_cast<int16_t>(3 * i + 2);
    }
    AddObject(scene, mesh);
  }
  scene->time = 1.0f;
}

void OursScene(benchmark::State& state, bool env_map) {
  const auto triangles = MakeScreenTriangles(static_cast<int>(state.range(0)));
  Frame frame;
  Scene scene;
  BuildScene(&scene, triangles, env_map);
  for (auto _ : state) {
    RenderScene(FrameViewOf(&frame.texture), &scene);
    benchmark::ClobberMemory();
  }
  if (g_render.row_count != static_cast<int32_t>(triangles.size())) {
    state.SkipWithError("the pass dropped triangles of the generated scene");
  }
  SetCounters(state, TotalArea(triangles));
  FreeScene(&scene);
  ReleaseTextureTable();
}

// Two triangles over the whole frame: the raw copy fill rate.
void Fill(benchmark::State& state, bool reference) {
  std::vector<ScreenTriangle> triangles = {
      {{1.0f, 511.0f, 1.0f}, {1.0f, 1.0f, 383.0f}, {0, 255, 0}, {0, 0, 255}},
      {{511.0f, 511.0f, 1.0f}, {1.0f, 383.0f, 383.0f}, {255, 255, 0}, {0, 255, 255}},
  };
  const auto corners = Corners(triangles);
  auto texels = PatternTexture();
  const Texture texture{TEXTURE_SIZE, TEXTURE_SIZE, texels.data(), 0};
  Frame frame;
  for (auto _ : state) {
    DrawCorners(reference, texture, corners);
    benchmark::ClobberMemory();
  }
  SetCounters(state, TotalArea(triangles));
}

constexpr int kBlendPixels = 4096;

void Blend(benchmark::State& state, bool packed) {
  const int32_t mode = static_cast<int32_t>(state.range(0));
  std::mt19937 random(2);
  std::vector<uint32_t> destination(kBlendPixels), source(kBlendPixels);
  for (uint32_t& p : destination) p = random();
  for (uint32_t& p : source) p = random();
  for (auto _ : state) {
    if (packed) {
      BlendPixels(mode, destination.data(), source.data(), kBlendPixels);
    } else {
      for (int i = 0; i < kBlendPixels; ++i) BlendPixel(mode, &destination[i], source[i]);
    }
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlendPixels);
}

// Best of three runs in one process for everything the ratios compare.
#define SCENE_SIZES ->Arg(1000)->Arg(5000)->Arg(20000)->Repetitions(3)
BENCHMARK_CAPTURE(Triangles, fast, false)->Name("ours/triangles") SCENE_SIZES;
BENCHMARK_CAPTURE(Triangles, reference, true)->Name("plain/triangles") SCENE_SIZES;
BENCHMARK(SdlTriangles)->Name("sdl/triangles") SCENE_SIZES;
BENCHMARK_CAPTURE(OursScene, copy, false)->Name("ours/scene/copy") SCENE_SIZES;
BENCHMARK_CAPTURE(OursScene, envmap, true)->Name("ours/scene/envmap") SCENE_SIZES;
BENCHMARK_CAPTURE(Fill, fast, false)->Name("fill/copy/fast");
BENCHMARK_CAPTURE(Fill, reference, true)->Name("fill/copy/reference");
BENCHMARK_CAPTURE(Blend, packed, true)->Name("blend/packed")->DenseRange(0, 7)->Arg(9);
BENCHMARK_CAPTURE(Blend, scalar, false)->Name("blend/scalar")->DenseRange(0, 7)->Arg(9);

std::vector<std::pair<std::string, std::string>> Pairs() {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const char* n : {"1000", "5000", "20000"}) {
    pairs.push_back({std::string("ours/triangles/") + n, std::string("sdl/triangles/") + n});
    pairs.push_back({std::string("ours/triangles/") + n, std::string("plain/triangles/") + n});
    pairs.push_back({std::string("ours/scene/copy/") + n, std::string("sdl/triangles/") + n});
    pairs.push_back({std::string("ours/scene/envmap/") + n, std::string("sdl/triangles/") + n});
  }
  pairs.push_back({"fill/copy/fast", "fill/copy/reference"});
  for (const char* m : {"0", "1", "2", "3", "4", "5", "6", "7", "9"}) {
    pairs.push_back({std::string("blend/packed/") + m, std::string("blend/scalar/") + m});
  }
  return pairs;
}

}  // namespace

KRA_BENCHMARK_MAIN_WITH_RATIOS(Pairs())
