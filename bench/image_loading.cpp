// Start-up image loading: every image the demo parts read before the first frame, in their
// load order, read from the data archive "autoexec.bat" (inflation) and decoded (libpng),
// with the mesh textures registered in the texture table. The archive is looked for in the
// working directory, then beside this program (where the build puts it); without one the
// program says so and measures nothing.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "resource/data_archive.h"
#include "resource/png_reuse.h"
#include "resource/png_texture.h"
#include "resource/texture_table.h"

namespace {

// The 2D images of the parts in start-up order: intro, "swim", "mamma1", "swam".
const char* const kPartImages[] = {
    "presents.png", "zibo.png", "creds.png", "greets.png",                              // intro
    "wavefront.png", "wavemiddle.png", "waveback.png", "bg_sol.png", "bg_natt.png",      // swim
    "boble_zib.png", "boble_obj.png",                                                    //
    "wavefront.png", "wavemiddle.png", "waveback.png", "bg_sky.png", "boble_zib.png",    // mamma1
    "boble_zib1.png",                                                                    //
    "wavefront.png", "wavemiddle.png", "waveback.png", "bg_sol.png", "bg_natt.png",      // swam
    "bg_sky.png", "boble_zib.png", "boble_obj.png", "end.png",                           //
};
// Mesh textures appended to the scenes: swim, mamma1, swam.
const char* const kSceneTextures[] = {"texture.png", "texture2.png", "texture.png", "texture.png",
                                      "texture2.png"};

std::string ExecutableDir() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string exe(path, (size_t)n);
  return exe.substr(0, exe.find_last_of('/'));
}

bool OpenDemoArchive() {
  for (const std::string& candidate : {std::string("autoexec.bat"), ExecutableDir() + "/autoexec.bat"}) {
    if (OpenArchive(&g_data_archive, candidate.c_str())) {
      std::printf("data archive: %s\n", candidate.c_str());
      return true;
    }
  }
  return false;
}

void LoadFilesOnly(benchmark::State& state) {
  int64_t bytes = 0;
  for (auto _ : state) {
    for (const char* name : kPartImages) {
      MemChunk chunk = LoadFile(name);
      bytes += chunk.size;
      FreeChunk(&chunk);
    }
    for (const char* name : kSceneTextures) {
      MemChunk chunk = LoadFile(name);
      bytes += chunk.size;
      FreeChunk(&chunk);
    }
    state.PauseTiming();
    g_data_archive.inflated = 0;  // a run reads it once; the rounds here would spend its allowance
    state.ResumeTiming();
  }
  state.SetBytesProcessed(bytes);
}

// What the demo does at start-up for its images: load and decode each part image (kept
// until the end of the run, freed here after the round) and load, decode and register each
// mesh texture.
void LoadAndDecodeAll(benchmark::State& state) {
  int64_t pixels = 0;
  std::vector<Texture> images;
  for (auto _ : state) {
    for (const char* name : kPartImages) {
      images.push_back(DecodePng(LoadFile(name)));
      pixels += (int64_t)images.back().width * images.back().height;
    }
    for (const char* name : kSceneTextures) {
      TextureRef ref = {};
      LoadSceneTexture(&ref, LoadFile(name));
    }
    state.PauseTiming();
    for (Texture& image : images) FreeTexture(&image);
    images.clear();
    ReleaseTextureTable();
    g_data_archive.inflated = 0;
    ForgetDecodes();  // each round decodes as a run's start-up does, from nothing kept
    state.ResumeTiming();
  }
  state.SetItemsProcessed(pixels);
  state.counters["images"] = (double)(std::size(kPartImages) + std::size(kSceneTextures));
}

// One file decoded from memory, without the archive read.
void DecodeOne(benchmark::State& state, const char* name) {
  MemChunk original = LoadFile(name);
  if (original.size == 0) {
    state.SkipWithError("not in the archive");
    return;
  }
  int64_t pixels = 0;
  for (auto _ : state) {
    MemChunk copy = original;
    copy.data = new uint8_t[(size_t)original.size];
    std::copy(original.data, original.data + original.size, copy.data);
    ForgetDecodes();  // the decode itself, not a copy of the one before
    Texture t = DecodePng(copy);
    pixels += (int64_t)t.width * t.height;
    FreeTexture(&t);
  }
  FreeChunk(&original);
  state.SetItemsProcessed(pixels);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!OpenDemoArchive()) {
    std::printf("no \"autoexec.bat\" in the working directory or beside %s: nothing to measure\n",
                argv[0]);
    return 0;
  }
  benchmark::RegisterBenchmark("startup/load_files_only", LoadFilesOnly)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("startup/load_and_decode_all", LoadAndDecodeAll)->Unit(benchmark::kMillisecond);
  const char* distinct[] = {"presents.png", "zibo.png", "creds.png", "greets.png", "bg_sky.png",
                            "bg_sol.png", "bg_natt.png", "wavefront.png", "wavemiddle.png",
                            "waveback.png", "boble_zib.png", "boble_zib1.png", "boble_obj.png",
                            "end.png", "texture.png", "texture2.png"};
  for (const char* name : distinct) {
    benchmark::RegisterBenchmark((std::string("decode/") + name).c_str(), DecodeOne, name)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  CloseArchive(&g_data_archive);
  return 0;
}
