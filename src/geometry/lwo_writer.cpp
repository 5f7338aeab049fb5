#include "geometry/lwo_writer.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

void PutU1(Bytes* out, uint32_t value) { out->push_back(static_cast<uint8_t>(value)); }

void PutU2(Bytes* out, uint32_t value) {
  PutU1(out, value >> 8);
  PutU1(out, value);
}

void PutU4(Bytes* out, uint32_t value) {
  PutU2(out, value >> 16);
  PutU2(out, value);
}

void PutF4(Bytes* out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutU4(out, bits);
}

void PutId(Bytes* out, const char* id) { out->insert(out->end(), id, id + 4); }

// Indices below 0xFF00 take two bytes; larger ones four, marked by a first byte of 0xFF.
void PutVx(Bytes* out, uint32_t index) {
  if (index < 0xFF00) PutU2(out, index);
  else PutU4(out, 0xFF000000u | index);
}

void PutString(Bytes* out, const std::string& text) {
  out->insert(out->end(), text.begin(), text.end());
  PutU1(out, 0);
  if ((text.size() + 1) & 1) PutU1(out, 0);
}

void PutFloats(Bytes* out, std::initializer_list<float> values) {
  for (float v : values) PutF4(out, v);
}

size_t BeginChunk(Bytes* out, const char* id) {
  PutId(out, id);
  PutU4(out, 0);
  return out->size();
}

void PatchSize(Bytes* out, size_t data_start, int size_bytes) {
  const uint32_t size = static_cast<uint32_t>(out->size() - data_start);
  for (int i = 0; i < size_bytes; ++i) {
    (*out)[data_start - 1 - i] = static_cast<uint8_t>(size >> (8 * i));
  }
  if (size & 1) PutU1(out, 0);
}

void EndChunk(Bytes* out, size_t data_start) { PatchSize(out, data_start, 4); }

size_t BeginSubChunk(Bytes* out, const char* id) {
  PutId(out, id);
  PutU2(out, 0);
  return out->size();
}

void EndSubChunk(Bytes* out, size_t data_start) { PatchSize(out, data_start, 2); }

void PutRawChunk(Bytes* out, const LwoWriterRawChunk& chunk) {
  const size_t start = BeginChunk(out, chunk.id);
  out->insert(out->end(), chunk.data.begin(), chunk.data.end());
  EndChunk(out, start);
}

// Surface names first, in surface order, then any polygon tag no surface has.
std::vector<std::string> CollectTags(const LwoWriter& writer) {
  std::vector<std::string> tags;
  auto add = [&](const std::string& name) {
    if (!name.empty() && std::find(tags.begin(), tags.end(), name) == tags.end()) tags.push_back(name);
  };
  for (const LwoWriterSurface& surface : writer.surfaces) add(surface.name);
  for (const LwoWriterLayer& layer : writer.layers) {
    for (const std::string& name : layer.polygon_surfaces) add(name);
  }
  return tags;
}

uint32_t TagIndex(const std::vector<std::string>& tags, const std::string& name) {
  return static_cast<uint32_t>(std::find(tags.begin(), tags.end(), name) - tags.begin());
}

void PutLayerHeader(Bytes* out, const LwoWriterLayer& layer, uint32_t number) {
  const size_t start = BeginChunk(out, "LAYR");
  PutU2(out, number);
  PutU2(out, 0);  // flags
  PutFloats(out, {0.0f, 0.0f, 0.0f});  // pivot
  PutString(out, layer.name);
  EndChunk(out, start);
}

void PutPoints(Bytes* out, const LwoWriterLayer& layer) {
  size_t start = BeginChunk(out, "PNTS");
  for (float v : layer.points) PutF4(out, v);
  EndChunk(out, start);
  if (layer.points.empty()) return;
  float low[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
  float high[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  for (size_t i = 0; i < layer.points.size(); ++i) {
    low[i % 3] = std::min(low[i % 3], layer.points[i]);
    high[i % 3] = std::max(high[i % 3], layer.points[i]);
  }
  start = BeginChunk(out, "BBOX");
  PutFloats(out, {low[0], low[1], low[2], high[0], high[1], high[2]});
  EndChunk(out, start);
}

void PutMap(Bytes* out, const LwoWriterMap& map, bool per_polygon) {
  const size_t start = BeginChunk(out, per_polygon ? "VMAD" : "VMAP");
  PutId(out, "TXUV");
  PutU2(out, 2);
  PutString(out, map.name);
  for (size_t e = 0; e < map.vertices.size(); ++e) {
    PutVx(out, static_cast<uint32_t>(map.vertices[e]));
    if (per_polygon) PutVx(out, static_cast<uint32_t>(map.polygons[e]));
    PutF4(out, map.uvs[2 * e]);
    PutF4(out, map.uvs[2 * e + 1]);
  }
  EndChunk(out, start);
}

void PutPolygons(Bytes* out, const LwoWriterLayer& layer, const std::vector<std::string>& tags) {
  size_t start = BeginChunk(out, "POLS");
  PutId(out, "FACE");
  size_t corner = 0;
  for (int32_t size : layer.polygon_sizes) {
    PutU2(out, static_cast<uint32_t>(size) & 0x03FF);
    for (int32_t k = 0; k < size; ++k) PutVx(out, static_cast<uint32_t>(layer.polygon_corners[corner++]));
  }
  EndChunk(out, start);
  start = BeginChunk(out, "PTAG");
  PutId(out, "SURF");
  for (size_t p = 0; p < layer.polygon_surfaces.size(); ++p) {
    if (layer.polygon_surfaces[p].empty()) continue;
    PutVx(out, static_cast<uint32_t>(p));
    PutU2(out, TagIndex(tags, layer.polygon_surfaces[p]));
  }
  EndChunk(out, start);
}

void PutLayer(Bytes* out, const LwoWriterLayer& layer, uint32_t number, const std::vector<std::string>& tags) {
  PutLayerHeader(out, layer, number);
  PutPoints(out, layer);
  for (const LwoWriterMap& map : layer.uv_maps) PutMap(out, map, false);
  PutPolygons(out, layer, tags);
  for (const LwoWriterMap& map : layer.corner_maps) PutMap(out, map, true);
}

void PutClip(Bytes* out, const LwoWriterClip& clip) {
  const size_t start = BeginChunk(out, "CLIP");
  PutU4(out, static_cast<uint32_t>(clip.index));
  const size_t still = BeginSubChunk(out, "STIL");
  PutString(out, clip.file_name);
  EndSubChunk(out, still);
  EndChunk(out, start);
}

// An image map on the colour channel, projected through the surface's UV map.
void PutTextureBlock(Bytes* out, const LwoWriterSurface& surface) {
  const size_t block = BeginSubChunk(out, "BLOK");
  size_t sub = BeginSubChunk(out, "IMAP");
  PutString(out, "\x80");  // ordinal
  size_t inner = BeginSubChunk(out, "CHAN");
  PutId(out, "COLR");
  EndSubChunk(out, inner);
  inner = BeginSubChunk(out, "ENAB");
  PutU2(out, 1);
  EndSubChunk(out, inner);
  EndSubChunk(out, sub);
  sub = BeginSubChunk(out, "TMAP");
  inner = BeginSubChunk(out, "CNTR");
  PutFloats(out, {0.0f, 0.0f, 0.0f});
  PutVx(out, 0);
  EndSubChunk(out, inner);
  inner = BeginSubChunk(out, "SIZE");
  PutFloats(out, {1.0f, 1.0f, 1.0f});
  PutVx(out, 0);
  EndSubChunk(out, inner);
  inner = BeginSubChunk(out, "ROTA");
  PutFloats(out, {0.0f, 0.0f, 0.0f});
  PutVx(out, 0);
  EndSubChunk(out, inner);
  EndSubChunk(out, sub);
  sub = BeginSubChunk(out, "PROJ");
  PutU2(out, 5);  // UV
  EndSubChunk(out, sub);
  sub = BeginSubChunk(out, "AXIS");
  PutU2(out, 2);
  EndSubChunk(out, sub);
  sub = BeginSubChunk(out, "IMAG");
  PutVx(out, static_cast<uint32_t>(surface.image));
  EndSubChunk(out, sub);
  sub = BeginSubChunk(out, "WRAP");
  PutU2(out, 1);  // repeat
  PutU2(out, 1);
  EndSubChunk(out, sub);
  sub = BeginSubChunk(out, "VMAP");
  PutString(out, surface.uv_map);
  EndSubChunk(out, sub);
  EndSubChunk(out, block);
}

void PutSurface(Bytes* out, const LwoWriterSurface& surface) {
  const size_t start = BeginChunk(out, "SURF");
  PutString(out, surface.name);
  PutString(out, "");  // source surface
  size_t sub = BeginSubChunk(out, "COLR");
  PutFloats(out, {surface.colour[0], surface.colour[1], surface.colour[2]});
  PutVx(out, 0);
  EndSubChunk(out, sub);
  sub = BeginSubChunk(out, "DIFF");
  PutF4(out, 1.0f);
  PutVx(out, 0);
  EndSubChunk(out, sub);
  if (!surface.uv_map.empty() || surface.image != 0) PutTextureBlock(out, surface);
  EndChunk(out, start);
}

}  // namespace

LwoWriterLayer* AddLwoLayer(LwoWriter* writer, const char* name) {
  writer->layers.emplace_back();
  writer->layers.back().name = name;
  return &writer->layers.back();
}

int32_t AddLwoPoint(LwoWriterLayer* layer, float x, float y, float z) {
  layer->points.insert(layer->points.end(), {x, y, z});
  return static_cast<int32_t>(layer->points.size() / 3 - 1);
}

int32_t AddLwoPolygon(LwoWriterLayer* layer, const std::vector<int32_t>& corners, const char* surface) {
  layer->polygon_sizes.push_back(static_cast<int32_t>(corners.size()));
  layer->polygon_corners.insert(layer->polygon_corners.end(), corners.begin(), corners.end());
  layer->polygon_surfaces.push_back(surface);
  return static_cast<int32_t>(layer->polygon_sizes.size() - 1);
}

void AddLwoSurface(LwoWriter* writer, const char* name, float r, float g, float b, const char* uv_map,
                   int32_t image) {
  writer->surfaces.push_back(LwoWriterSurface{name, {r, g, b}, uv_map, image});
}

void AddLwoClip(LwoWriter* writer, int32_t index, const char* file_name) {
  writer->clips.push_back(LwoWriterClip{index, file_name});
}

LwoWriterMap* AddLwoUvMap(LwoWriterLayer* layer, const char* name) {
  layer->uv_maps.emplace_back();
  layer->uv_maps.back().name = name;
  return &layer->uv_maps.back();
}

LwoWriterMap* AddLwoCornerUvMap(LwoWriterLayer* layer, const char* name) {
  layer->corner_maps.emplace_back();
  layer->corner_maps.back().name = name;
  return &layer->corner_maps.back();
}

void AddLwoUv(LwoWriterMap* map, int32_t vertex, float u, float v) {
  map->vertices.push_back(vertex);
  map->uvs.insert(map->uvs.end(), {u, v});
}

void AddLwoCornerUv(LwoWriterMap* map, int32_t vertex, int32_t polygon, float u, float v) {
  map->polygons.push_back(polygon);
  AddLwoUv(map, vertex, u, v);
}

void AddLwoRawChunk(std::vector<LwoWriterRawChunk>* chunks, const char* id, const std::vector<uint8_t>& data) {
  LwoWriterRawChunk chunk{};
  std::memcpy(chunk.id, id, 4);
  chunk.data = data;
  chunks->push_back(chunk);
}

std::vector<uint8_t> WriteLwo(const LwoWriter& writer) {
  Bytes out;
  const size_t form = BeginChunk(&out, "FORM");
  PutId(&out, "LWO2");
  for (const LwoWriterRawChunk& chunk : writer.leading_chunks) PutRawChunk(&out, chunk);
  const std::vector<std::string> tags = CollectTags(writer);
  const size_t start = BeginChunk(&out, "TAGS");
  for (const std::string& tag : tags) PutString(&out, tag);
  EndChunk(&out, start);
  for (size_t i = 0; i < writer.layers.size(); ++i) PutLayer(&out, writer.layers[i], static_cast<uint32_t>(i), tags);
  for (const LwoWriterClip& clip : writer.clips) PutClip(&out, clip);
  for (const LwoWriterSurface& surface : writer.surfaces) PutSurface(&out, surface);
  for (const LwoWriterRawChunk& chunk : writer.trailing_chunks) PutRawChunk(&out, chunk);
  EndChunk(&out, form);
  return out;
}

int SaveLwo(const LwoWriter& writer, const char* path) {
  const std::vector<uint8_t> bytes = WriteLwo(writer);
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return 0;
  const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  const bool closed = std::fclose(file) == 0;
  return written == bytes.size() && closed ? 1 : 0;
}
