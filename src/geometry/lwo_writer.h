// Writing LWO2 object files: for content tools that make meshes and for tests that need
// objects of a known shape.
//
// Build an LwoWriter record (layers of points and polygons, surfaces, clips, UV maps), then
// WriteLwo gives the file's bytes: a FORM LWO2 with TAGS, then per layer LAYR, PNTS, BBOX,
// VMAP TXUV, POLS FACE, PTAG SURF and VMAD TXUV, then CLIP and SURF. Numbers are
// big-endian, strings NUL-terminated and padded to an even length, indices in the
// variable-length form (two bytes, or four from 0xFF00 on), and every chunk has an even
// length. Coordinates are written as given: y up, v up, as LightWave keeps them.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// A UV map of one layer: per point (VMAP, polygons empty) or per polygon corner (VMAD).
struct LwoWriterMap {
  std::string name;
  std::vector<int32_t> vertices;  // point index in the layer, per entry
  std::vector<int32_t> polygons;  // VMAD: polygon index in the layer, per entry
  std::vector<float> uvs;         // u, v per entry
};

struct LwoWriterLayer {
  std::string name;
  std::vector<float> points;                  // x, y, z per point
  std::vector<int32_t> polygon_sizes;         // corners per polygon
  std::vector<int32_t> polygon_corners;       // the corners of every polygon, one after another
  std::vector<std::string> polygon_surfaces;  // surface name per polygon; "" for none
  std::deque<LwoWriterMap> uv_maps;  // deques: the pointers the Add functions return stay valid
  std::deque<LwoWriterMap> corner_maps;
};

struct LwoWriterSurface {
  std::string name;
  float colour[3];     // r, g, b in 0..1
  std::string uv_map;  // the TXUV map of its texture; "" with image 0 writes no texture block
  int32_t image;       // clip index of its texture image; 0 for none
};

struct LwoWriterClip {
  int32_t index;          // 1 and up
  std::string file_name;  // still image
};

// A chunk written as it stands (with a pad byte after an odd size).
struct LwoWriterRawChunk {
  char id[5];
  std::vector<uint8_t> data;
};

struct LwoWriter {
  std::deque<LwoWriterLayer> layers;
  std::vector<LwoWriterSurface> surfaces;
  std::vector<LwoWriterClip> clips;
  std::vector<LwoWriterRawChunk> leading_chunks;   // right after the form type
  std::vector<LwoWriterRawChunk> trailing_chunks;  // at the end of the form
};

LwoWriterLayer* AddLwoLayer(LwoWriter* writer, const char* name);
// Returns the point's index in the layer.
int32_t AddLwoPoint(LwoWriterLayer* layer, float x, float y, float z);
// Returns the polygon's index in the layer. surface may be "" (no PTAG entry).
int32_t AddLwoPolygon(LwoWriterLayer* layer, const std::vector<int32_t>& corners, const char* surface);
void AddLwoSurface(LwoWriter* writer, const char* name, float r, float g, float b, const char* uv_map,
                   int32_t image);
void AddLwoClip(LwoWriter* writer, int32_t index, const char* file_name);
LwoWriterMap* AddLwoUvMap(LwoWriterLayer* layer, const char* name);
LwoWriterMap* AddLwoCornerUvMap(LwoWriterLayer* layer, const char* name);
void AddLwoUv(LwoWriterMap* map, int32_t vertex, float u, float v);
void AddLwoCornerUv(LwoWriterMap* map, int32_t vertex, int32_t polygon, float u, float v);
void AddLwoRawChunk(std::vector<LwoWriterRawChunk>* chunks, const char* id, const std::vector<uint8_t>& data);

std::vector<uint8_t> WriteLwo(const LwoWriter& writer);
// Returns 1 when the whole file was written.
int SaveLwo(const LwoWriter& writer, const char* path);
