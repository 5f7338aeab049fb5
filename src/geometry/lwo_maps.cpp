// VMAP and VMAD: per-point and per-corner maps of the current layer. UV maps (TXUV) are
// kept for the mesh, weight maps (WGHT) are read but have no use in it; other kinds are
// skipped.
#include "geometry/lwo_chunks.h"
#include "platform/log.h"

namespace {

struct MapHeader {
  const uint8_t* type;
  uint32_t dimension;
  std::string name;
  size_t header_size;  // type, dimension and padded name
};

MapHeader ReadMapHeader(LwoCursor* chunk) {
  MapHeader header{};
  const uint8_t* start = chunk->pos;
  header.type = chunk->pos;
  LwoSkip(chunk, 4);
  header.dimension = LwoReadU2(chunk);
  header.name = LwoReadString(chunk);
  header.header_size = static_cast<size_t>(chunk->pos - start);
  return header;
}

// The entry count the header promises for entries of two-byte indices.
unsigned ExpectedEntries(const LwoCursor* chunk, const MapHeader& header) {
  return static_cast<unsigned>(LwoBytesLeft(chunk) / (header.dimension * 4 + 2));
}

bool ReadPointIndex(LwoCursor* chunk, const LwoLayer* layer, const uint8_t* entry, int32_t* merged) {
  const uint32_t index = LwoReadVx(chunk);
  if (chunk->object->failed) return false;
  if (index >= static_cast<uint32_t>(layer->point_count)) {
    LwoFailAt(chunk->object, chunk->chunk, entry, "vertex index %u out of range (%d points in the layer)", index,
              layer->point_count);
    return false;
  }
  *merged = layer->point_base + static_cast<int32_t>(index);
  return true;
}

// Reads the first `used` values of an entry and skips the rest of its dimension.
void ReadValues(LwoCursor* chunk, uint32_t dimension, float* values, uint32_t used) {
  for (uint32_t i = 0; i < used; ++i) values[i] = LwoReadF4(chunk);
  LwoSkip(chunk, static_cast<size_t>(dimension - used) * 4);
}

LwoLayer* LayerForMap(LwoCursor* chunk) {
  LwoLayer* layer = chunk->object->current_layer;
  if (!layer) LwoFail(chunk, "vertex map before any PNTS");
  return layer;
}

void ReadUvEntries(LwoCursor* chunk, const MapHeader& header, const LwoLayer* layer, bool per_polygon) {
  LwoObject* object = chunk->object;
  LwoUvMap* map = new LwoUvMap();
  map->name = header.name;
  map->per_polygon = per_polygon ? 1 : 0;
  const unsigned expected = ExpectedEntries(chunk, header);
  while (!LwoAtEnd(chunk)) {
    const uint8_t* entry = chunk->pos;
    int32_t vertex = 0;
    if (!ReadPointIndex(chunk, layer, entry, &vertex)) break;
    if (per_polygon) {
      const uint32_t polygon = LwoReadVx(chunk);
      if (object->failed) break;
      if (polygon >= static_cast<uint32_t>(object->pols_face_count)) {
        LwoFailAt(object, chunk->chunk, entry, "polygon index %u out of range (%d polygons)", polygon,
                  object->pols_face_count);
        break;
      }
      map->faces.push_back(object->pols_first_face + static_cast<int32_t>(polygon));
    }
    float uv[2];
    ReadValues(chunk, header.dimension, uv, 2);
    if (object->failed) break;
    map->vertices.push_back(vertex);
    map->u.push_back(uv[0]);
    map->v.push_back(1.0f - uv[1]);
  }
  if (object->failed) {
    delete map;
    return;
  }
  map->entry_count = static_cast<int32_t>(map->vertices.size());
  LogDebug("Mesh: %u\tUVs:%u/%u\n", static_cast<unsigned>(object->layer_count),
           static_cast<unsigned>(map->entry_count), expected);
  AppendLwoNode(&object->uv_maps, &object->current_uv_map, &object->uv_map_count, map);
}

void ReadWeightEntries(LwoCursor* chunk, const MapHeader& header, const LwoLayer* layer) {
  LwoObject* object = chunk->object;
  LwoWeightMap* map = new LwoWeightMap();
  map->name = header.name;
  const unsigned expected = ExpectedEntries(chunk, header);
  while (!LwoAtEnd(chunk)) {
    int32_t vertex = 0;
    if (!ReadPointIndex(chunk, layer, chunk->pos, &vertex)) break;
    float weight;
    ReadValues(chunk, header.dimension, &weight, 1);
    if (object->failed) break;
    map->vertices.push_back(vertex);
    map->weights.push_back(weight);
  }
  if (object->failed) {
    delete map;
    return;
  }
  map->entry_count = static_cast<int32_t>(map->vertices.size());
  LogDebug("Mesh: %u\tWs:%u/%u\n", static_cast<unsigned>(object->layer_count),
           static_cast<unsigned>(map->entry_count), expected);
  AppendLwoNode(&object->weight_maps, &object->current_weight_map, &object->weight_map_count, map);
}

}  // namespace

void ReadLwoVertexMap(LwoCursor* chunk) {
  const MapHeader header = ReadMapHeader(chunk);
  if (chunk->object->failed) return;
  const bool uv = LwoIdIs(header.type, "TXUV");
  const bool weight = LwoIdIs(header.type, "WGHT");
  if (!uv && !weight) return;
  const LwoLayer* layer = LayerForMap(chunk);
  if (!layer) return;
  if (header.dimension < (uv ? 2u : 1u)) {
    LogDebug("LWO2 %s: VMAP %s of dimension %u skipped\n", chunk->object->file_name, header.name.c_str(),
             header.dimension);
    return;
  }
  if (uv) ReadUvEntries(chunk, header, layer, false);
  else ReadWeightEntries(chunk, header, layer);
}

// VMAD TXUV holds the UVs of corners that differ from their point's VMAP value: the two
// sides of a texture seam. Entries name a point and a polygon of the most recent POLS.
void ReadLwoCornerMap(LwoCursor* chunk) {
  LwoObject* object = chunk->object;
  const MapHeader header = ReadMapHeader(chunk);
  if (object->failed || !LwoIdIs(header.type, "TXUV")) return;
  const LwoLayer* layer = LayerForMap(chunk);
  if (!layer || object->pols_state == LWO_POLS_SKIPPED) return;
  if (header.dimension < 2) {
    LogDebug("LWO2 %s: VMAD %s of dimension %u skipped\n", object->file_name, header.name.c_str(),
             header.dimension);
    return;
  }
  if (object->pols_state == LWO_POLS_NONE && !LwoAtEnd(chunk)) {
    LwoFail(chunk, "corner map before any polygons of the layer");
    return;
  }
  ReadUvEntries(chunk, header, layer, true);
}
