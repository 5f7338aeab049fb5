// The renderer stages before the fill: the depth sort (two byte passes against the sixteen
// bit passes it replaces), mesh emission (DrawMesh against feeding the same mesh corner by
// corner), and a whole RenderScene frame of a sphere field for scale.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "ratio_reporter.h"
#include "render/depth_sort.h"
#include "render/mesh_emit.h"
#include "render/scene_pass.h"
#include "render/triangle_key.h"
#include "test_scenes.h"

namespace {

constexpr int32_t ROWS = 12000;

// Keys as a frame gives them: mean depths 5 to 60 in front of the camera.
std::vector<SortRow> FrameRows() {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> depth(5.0, 60.0);
  std::vector<SortRow> rows(ROWS);
  for (int32_t i = 0; i < ROWS; ++i) rows[i] = SortRow{DepthKey(depth(random), depth(random), depth(random)), i};
  return rows;
}

void BM_SortRows(benchmark::State& state) {
  const std::vector<SortRow> frame = FrameRows();
  std::vector<SortRow> rows(ROWS), scratch(ROWS);
  for (auto _ : state) {
    rows = frame;
    SortRows(ROWS, rows.data(), scratch.data());
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(state.iterations() * ROWS);
}
BENCHMARK(BM_SortRows);

void BM_SortRowsBinary(benchmark::State& state) {
  const std::vector<SortRow> frame = FrameRows();
  std::vector<SortRow> rows(ROWS);
  for (auto _ : state) {
    rows = frame;
    SortRowsBinary(ROWS, rows.data());
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(state.iterations() * ROWS);
}
BENCHMARK(BM_SortRowsBinary);

// One renderer over a frame of its own for the benchmarks that draw.
struct BenchRenderer {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(512 * 384);
  Texture frame{512, 384, pixels.data(), 0};
  Scene scene;
  explicit BenchRenderer(const TestSceneShape& shape) {
    InitRenderer(frame);
    RenderEnable(CAP_TEXTURE);
    BuildSphereField(&scene, shape);
  }
  ~BenchRenderer() {
    FreeScene(&scene);
    ReleaseRenderer();
  }
};

const TestSceneShape kEmitShape{1, 1, 64, 2.0f, 1, 0, 1};

void BM_DrawMesh(benchmark::State& state) {
  BenchRenderer r(kEmitShape);
  Mesh* mesh = r.scene.meshes;
  LoadIdentity();
  Rotate(10, 20, 30);
  Translate(1, 2, -3);
  for (auto _ : state) {
    ClearTrianglePool();
    DrawMesh(mesh);
    benchmark::DoNotOptimize(g_render.triangles);
  }
  state.SetItemsProcessed(state.iterations() * mesh->triangle_count);
}
BENCHMARK(BM_DrawMesh);

void BM_CornerByCorner(benchmark::State& state) {
  BenchRenderer r(kEmitShape);
  Mesh* mesh = r.scene.meshes;
  LoadIdentity();
  Rotate(10, 20, 30);
  Translate(1, 2, -3);
  DrawMesh(mesh);  // binds the mesh's texture, lightmap and flags
  for (auto _ : state) {
    ClearTrianglePool();
    BeginTriangles();
    for (int32_t t = 0; t < mesh->triangle_count; ++t) {
      const MeshTriangle& tri = mesh->triangles[t];
      const int16_t index[3] = {tri.index0, tri.index1, tri.index2};
      const float u[3] = {tri.u0, tri.u1, tri.u2}, v[3] = {tri.t0, tri.t1, tri.t2};
      for (int k = 0; k < 3; ++k) {
        const MeshVertex& vertex = mesh->vertices[index[k]];
        TexCoord(u[k], v[k]);
        LightmapCoord(vertex.lu, vertex.lv);
        Normal(vertex.nx, vertex.ny, vertex.nz);
        Vertex(vertex.x, vertex.y, vertex.z);
      }
    }
    benchmark::DoNotOptimize(g_render.triangles);
  }
  state.SetItemsProcessed(state.iterations() * mesh->triangle_count);
}
BENCHMARK(BM_CornerByCorner);

// A busy frame: 24 spheres of 24 slices (about 13,800 triangles emitted), textured, filled
// and sorted; state.range(0) = 1 adds the lightmap layer.
void BM_RenderSceneSphereField(benchmark::State& state) {
  BenchRenderer r(TestSceneShape{6, 4, 24, 1.1f, 0, 0, (int32_t)state.range(0)});
  for (auto _ : state) {
    TurnSphereField(&r.scene, 1.0f);
    RenderScene(FrameViewOf(&r.frame), &r.scene);
    benchmark::DoNotOptimize(r.pixels.data());
  }
  state.counters["triangles"] = g_render.triangle_count;
  state.counters["rows"] = g_render.row_count;
}
BENCHMARK(BM_RenderSceneSphereField)->Arg(0)->Arg(1);

}  // namespace

KRA_BENCHMARK_MAIN_WITH_RATIOS({{"BM_SortRows", "BM_SortRowsBinary"}, {"BM_DrawMesh", "BM_CornerByCorner"}})
