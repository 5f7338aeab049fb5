// Loading a scene script of 10,000 keys: 100 objects on two spheres, 100 key elements each,
// every key filling the position, rotation and alpha channels, so the parse also builds
// 30,000 curve keys. The script is parsed from memory; no file is read inside the loop.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "resource/mem_chunk.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

namespace {

constexpr int OBJECTS = 100;
constexpr int KEYS_PER_OBJECT = 100;

std::string TenThousandKeyScript() {
  std::string script = "<demo>\r\n<scene>\r\n";
  script += "<CreateSphere name=\"ball\" radius=\"1\" slices=\"8\"/>\r\n";
  script += "<CreateSphere name=\"sphere1\" radius=\"2\" slices=\"12\"/>\r\n";
  char line[256];
  for (int o = 0; o < OBJECTS; o++) {
    std::snprintf(line, sizeof(line), "<object name=\"obj%d\" mesh=\"%s\">\r\n", o, o % 2 ? "sph" : "ball");
    script += line;
    for (int k = 0; k < KEYS_PER_OBJECT; k++) {
      std::snprintf(line, sizeof(line),
                    "  <key time=\"%.2f\" pos_x=\"%d.5\" pos_y=\"%d\" pos_z=\"-%d.25\" rot_y=\"%d\" "
                    "alpha=\"0.%d\" tension=\"0.1\" curve=\"1\"/>\r\n",
                    k * 0.1, k, o, k % 7, (k * 7) % 360, k % 10);
      script += line;
    }
    script += "</object>\r\n";
  }
  script += "<camera><key time=\"0\" pos_z=\"20\" fov=\"40\"/></camera>\r\n</scene>\r\n</demo>\r\n";
  return script;
}

MemChunk ChunkOf(const std::string& text) {
  MemChunk chunk{};
  std::strcpy(chunk.name, "bench.xml");
  chunk.size = (int32_t)text.size();
  chunk.data = new uint8_t[text.size()];
  std::memcpy(chunk.data, text.data(), text.size());
  return chunk;
}

void BM_LoadSceneXml10000Keys(benchmark::State& state) {
  const std::string script = TenThousandKeyScript();
  g_scene_xml.quiet = 1;
  for (auto _ : state) {
    state.PauseTiming();
    Scene* scene = new Scene();
    MemChunk chunk = ChunkOf(script);
    state.ResumeTiming();
    LoadSceneXml(scene, chunk);
    benchmark::DoNotOptimize(scene->object_count);
    state.PauseTiming();
    delete scene;
    state.ResumeTiming();
  }
  state.counters["script_bytes"] = (double)script.size();
  state.counters["keys"] = OBJECTS * KEYS_PER_OBJECT;
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)script.size());
}
BENCHMARK(BM_LoadSceneXml10000Keys)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
