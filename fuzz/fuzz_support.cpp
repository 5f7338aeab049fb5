#include "fuzz_support.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "geometry/lwo_writer.h"
#include "geometry/motion_writer.h"
#include "platform/message_box.h"
#include "resource/data_archive.h"

void QuietEngine() {
  SetMessageBoxesEnabled(false);
  SDL_LogSetAllPriority(SDL_LOG_PRIORITY_CRITICAL);
  CloseArchive(&g_data_archive);
  g_data_archive.search_mode = SEARCH_DISK_ONLY;
}

MemChunk ChunkOf(const uint8_t* data, size_t size, const char* name) {
  MemChunk chunk = {};
  CopyNameField(chunk.name, sizeof chunk.name, name);
  if (size == 0) return chunk;
  chunk.data = new uint8_t[size];
  std::memcpy(chunk.data, data, size);
  chunk.size = (int32_t)size;
  return chunk;
}

static std::string g_scratch;

static void RemoveScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(g_scratch, ignored);
}

const std::string& ScratchFolder() {
  if (g_scratch.empty()) {
    char pattern[] = "/tmp/kra_fuzz_XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    g_scratch = pattern;
    std::atexit(RemoveScratchFolder);
  }
  return g_scratch;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool whole = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && whole;
}

static void WriteObject(const char* name, int corners, float scale) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, name);
  std::vector<int32_t> ring;
  for (int i = 0; i < corners; i++) {
    ring.push_back(AddLwoPoint(layer, scale * float(i % 2), scale * float(i / 2 % 2), float(i / 4)));
  }
  AddLwoPolygon(layer, {ring[0], ring[1], ring[2]}, "skin");
  if (corners >= 4) AddLwoPolygon(layer, {ring[1], ring[3], ring[2]}, "skin");
  if (corners >= 8) AddLwoPolygon(layer, {ring[4], ring[5], ring[7], ring[6]}, "skin");
  LwoWriterMap* uv = AddLwoUvMap(layer, "Lightmap");
  for (int i = 0; i < corners; i++) AddLwoUv(uv, ring[i], 0.5f, float(i) / corners);
  AddLwoSurface(&writer, "skin", 1.0f, 1.0f, 1.0f, "Lightmap", 1);
  AddLwoClip(&writer, 1, "Images/skin.png");
  std::vector<uint8_t> bytes = WriteLwo(writer);
  WriteFile(name, bytes.data(), bytes.size());
}

static void WriteMotion() {
  MotionWriter writer;
  for (int i = 0; i < 3; i++) {
    MotionRecord key{};
    key.time = 30 * i;
    key.position[0] = float(i);
    key.scale[0] = key.scale[1] = key.scale[2] = 1.0f;
    AddMotionRecord(&writer, key);
  }
  std::vector<uint8_t> bytes = MotionFileBytes(writer);
  WriteFile("walk.mot", bytes.data(), bytes.size());
}

void WriteScriptFiles() {
  WriteObject("cube.lwo", 8, 1.0f);
  WriteObject("morph.lwo", 8, 2.0f);
  WriteObject("quad.lwo", 4, 1.0f);
  WriteObject("tri.lwo", 3, 1.0f);
  WriteMotion();
}
