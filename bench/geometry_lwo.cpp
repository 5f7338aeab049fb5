// LWO2 loading and mesh normals.
//
// The load benchmarks read a generated double-sided terrain of 100,000 triangles (25,326
// points, one textured surface, a UV map and a lightmap map), written once as triangles and
// once as 50,000 quads. Beside ours, assimp loads the same bytes from memory with its
// triangulation and smooth-normal generation. The normals benchmarks compare the grouped
// vertex normals with the naive all-pairs form on meshes of 1,000 to 100,000 triangles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "geometry/lwo_mesh.h"
#include "geometry/lwo_writer.h"
#include "geometry/mesh.h"
#include "geometry/mesh_normals.h"
#include "ratio_reporter.h"

#ifdef KRA_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

namespace {

float Height(int column, int row) { return 0.5f * std::sin(column * 0.17f) * std::cos(row * 0.23f); }

// columns x rows cells; each cell gets its two faces on both sides.
std::vector<uint8_t> TerrainObject(int columns, int rows, bool quads) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "terrain");
  LwoWriterMap* uv = AddLwoUvMap(layer, "Texture");
  LwoWriterMap* light = AddLwoUvMap(layer, "Lightmap");
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= columns; ++c) {
      const int32_t p = AddLwoPoint(layer, float(c), Height(c, r), float(r));
      AddLwoUv(uv, p, float(c) / columns, float(r) / rows);
      AddLwoUv(light, p, float(c) / columns, float(r) / rows);
    }
  }
  const int stride = columns + 1;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const int32_t a = r * stride + c, b = a + 1, d = a + stride, e = d + 1;
      if (quads) {
        AddLwoPolygon(layer, {a, b, e, d}, "Ground");
        AddLwoPolygon(layer, {d, e, b, a}, "Ground");
      } else {
        AddLwoPolygon(layer, {a, b, e}, "Ground");
        AddLwoPolygon(layer, {a, e, d}, "Ground");
        AddLwoPolygon(layer, {e, b, a}, "Ground");
        AddLwoPolygon(layer, {d, e, a}, "Ground");
      }
    }
  }
  AddLwoSurface(&writer, "Ground", 0.6f, 0.5f, 0.3f, "Texture", 1);
  AddLwoClip(&writer, 1, "textures/ground.png");
  return WriteLwo(writer);
}

const std::vector<uint8_t>& Terrain100k(bool quads) {
  static const std::vector<uint8_t> triangles = TerrainObject(200, 125, false);
  static const std::vector<uint8_t> quad_faces = TerrainObject(200, 125, true);
  return quads ? quad_faces : triangles;
}

void OursLoad(benchmark::State& state, bool quads) {
  const std::vector<uint8_t>& bytes = Terrain100k(quads);
  int32_t triangles = 0;
  for (auto _ : state) {
    state.PauseTiming();
    MemChunk chunk{};
    std::strcpy(chunk.name, "terrain.lwo");
    chunk.size = static_cast<int32_t>(bytes.size());
    chunk.data = new uint8_t[bytes.size()];
    std::memcpy(chunk.data, bytes.data(), bytes.size());
    Mesh mesh{};
    state.ResumeTiming();
    if (!LoadLwoMesh(&mesh, chunk)) state.SkipWithError("load failed");
    triangles = mesh.triangle_count;
    FreeMeshArrays(&mesh);
  }
  if (triangles != 100000) state.SkipWithError("not 100,000 triangles");
  state.counters["triangles"] = triangles;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

#ifdef KRA_HAVE_ASSIMP
void AssimpLoad(benchmark::State& state, bool quads) {
  const std::vector<uint8_t>& bytes = Terrain100k(quads);
  Assimp::Importer importer;
  unsigned triangles = 0;
  for (auto _ : state) {
    const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(),
                                                       aiProcess_Triangulate | aiProcess_GenSmoothNormals, "lwo");
    if (!scene) {
      state.SkipWithError(importer.GetErrorString());
      break;
    }
    triangles = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) triangles += scene->mMeshes[i]->mNumFaces;
  }
  if (triangles != 100000) state.SkipWithError("assimp did not give 100,000 triangles");
  state.counters["triangles"] = triangles;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
#endif

// A bumpy grid mesh of columns x rows cells, four triangles per cell (both sides).
struct GridMesh {
  Mesh mesh{};
  GridMesh(int columns, int rows) {
    const int stride = columns + 1;
    mesh.vertex_count = stride * (rows + 1);
    mesh.triangle_count = 4 * columns * rows;
    mesh.vertices = new MeshVertex[mesh.vertex_count]();
    mesh.triangles = AllocateMeshTriangles(mesh.triangle_count);
    for (int r = 0; r <= rows; ++r) {
      for (int c = 0; c <= columns; ++c) {
        MeshVertex& v = mesh.vertices[r * stride + c];
        v.x = float(c);
        v.y = Height(c, r);
        v.z = float(r);
      }
    }
    MeshTriangle* t = mesh.triangles;
    auto put = [&t](int a, int b, int c) {
      t->index0 = int16_t(a);
      t->index1 = int16_t(b);
      t->index2 = int16_t(c);
      ++t;
    };
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        const int a = r * stride + c, b = a + 1, d = a + stride, e = d + 1;
        put(a, b, e);
        put(a, e, d);
        put(e, b, a);
        put(d, e, a);
      }
    }
  }
  ~GridMesh() { FreeMeshArrays(&mesh); }
};

// Grids of 1,000, 10,000 and 100,000 triangles.
std::pair<int, int> GridFor(int triangles) {
  if (triangles == 1000) return {25, 10};
  if (triangles == 10000) return {50, 50};
  return {200, 125};
}

void Normals(benchmark::State& state, void (*compute)(Mesh*), int triangles) {
  const auto [columns, rows] = GridFor(triangles);
  GridMesh grid(columns, rows);
  for (auto _ : state) {
    compute(&grid.mesh);
    benchmark::DoNotOptimize(grid.mesh.vertices[0].nx);
  }
  state.counters["triangles"] = grid.mesh.triangle_count;
  state.counters["vertices"] = grid.mesh.vertex_count;
}

void Register() {
  benchmark::RegisterBenchmark("ours/load/triangles100k", OursLoad, false)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ours/load/quads50k", OursLoad, true)->Unit(benchmark::kMillisecond);
#ifdef KRA_HAVE_ASSIMP
  benchmark::RegisterBenchmark("assimp/load/triangles100k", AssimpLoad, false)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("assimp/load/quads50k", AssimpLoad, true)->Unit(benchmark::kMillisecond);
#endif
  for (int triangles : {1000, 10000, 100000}) {
    const std::string size = std::to_string(triangles);
    benchmark::RegisterBenchmark(("grouped/normals/" + size).c_str(), Normals, ComputeMeshNormals, triangles)
        ->Unit(benchmark::kMillisecond);
    auto* naive = benchmark::RegisterBenchmark(("naive/normals/" + size).c_str(), Normals,
                                               ComputeMeshNormalsNaive, triangles);
    naive->Unit(benchmark::kMillisecond);
    // All pairs at 100,000 triangles takes seconds per run.
    if (triangles == 100000) naive->Iterations(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios({{"ours/load/triangles100k", "assimp/load/triangles100k"},
                        {"ours/load/quads50k", "assimp/load/quads50k"},
                        {"grouped/normals/1000", "naive/normals/1000"},
                        {"grouped/normals/10000", "naive/normals/10000"},
                        {"grouped/normals/100000", "naive/normals/100000/iterations:1"}});
  benchmark::Shutdown();
  return 0;
}
