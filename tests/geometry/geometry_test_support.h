// Helpers of the geometry tests: chunks built in memory, loads with their console output,
// and a small textured object written with LwoWriter.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "geometry/lwo_mesh.h"
#include "geometry/lwo_writer.h"
#include "geometry/mesh.h"
#include "resource/mem_chunk.h"

namespace geometry_test {

inline MemChunk ChunkOf(const std::vector<uint8_t>& bytes, const char* name = "test.lwo") {
  MemChunk chunk{};
  std::snprintf(chunk.name, sizeof chunk.name, "%s", name);
  chunk.size = static_cast<int32_t>(bytes.size());
  if (bytes.empty()) return chunk;  // as LoadFile gives a file it did not find
  chunk.data = new uint8_t[bytes.size()];
  std::memcpy(chunk.data, bytes.data(), bytes.size());
  return chunk;
}

// A loaded mesh that frees its arrays when it goes.
struct LoadedMesh {
  Mesh mesh{};
  int result = 0;
  std::string console;  // what the load wrote to stderr
  LoadedMesh() = default;
  LoadedMesh(const LoadedMesh&) = delete;
  LoadedMesh& operator=(const LoadedMesh&) = delete;
  ~LoadedMesh() { FreeMeshArrays(&mesh); }
};

inline void Load(LoadedMesh* loaded, const std::vector<uint8_t>& bytes, const char* name = "test.lwo") {
  testing::internal::CaptureStderr();
  loaded->result = LoadLwoMesh(&loaded->mesh, ChunkOf(bytes, name));
  loaded->console = testing::internal::GetCapturedStderr();
}

inline std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string TestDataPath(const char* name) { return std::string(KRA_TESTDATA_DIR) + "/lwo2/" + name; }

inline uint32_t BigEndian32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

inline void PutBigEndian32(std::vector<uint8_t>* b, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Offset of the first top-level chunk of that ID inside the FORM, or 0.
inline size_t FindChunk(const std::vector<uint8_t>& b, const char* id) {
  size_t at = 12;
  while (at + 8 <= b.size()) {
    if (std::memcmp(&b[at], id, 4) == 0) return at;
    const uint32_t size = BigEndian32(b, at + 4);
    at += 8 + size + (size & 1);
  }
  return 0;
}

// Two triangles sharing an edge, a quad's worth of points:
//   0 (0, 0, 0)  1 (1, 0, 0)  2 (1, 2, 0)  3 (0, 2, 0)
// triangle 0 = (0, 1, 2) on surface "Red", triangle 1 = (0, 2, 3) on surface "Wall".
// "Wall" is textured through UV map "Texture" with clip 1 "Images/wall.png".
inline LwoWriter TwoTriangleObject() {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "Layer 1");
  AddLwoPoint(layer, 0, 0, 0);
  AddLwoPoint(layer, 1, 0, 0);
  AddLwoPoint(layer, 1, 2, 0);
  AddLwoPoint(layer, 0, 2, 0);
  AddLwoPolygon(layer, {0, 1, 2}, "Red");
  AddLwoPolygon(layer, {0, 2, 3}, "Wall");
  LwoWriterMap* uv = AddLwoUvMap(layer, "Texture");
  AddLwoUv(uv, 0, 0.0f, 0.0f);
  AddLwoUv(uv, 1, 1.0f, 0.0f);
  AddLwoUv(uv, 2, 1.0f, 1.0f);
  AddLwoUv(uv, 3, 0.0f, 0.25f);
  AddLwoSurface(&writer, "Red", 1.0f, 0.5f, 0.0f, "", 0);
  AddLwoSurface(&writer, "Wall", 0.2f, 0.4f, 0.6f, "Texture", 1);
  AddLwoClip(&writer, 1, "Images/wall.png");
  return writer;
}

}  // namespace geometry_test
