#include "fuzz_support.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

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
