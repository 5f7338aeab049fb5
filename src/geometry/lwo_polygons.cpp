// POLS and PTAG: polygons of the current layer and their surface tags.
#include "geometry/lwo_chunks.h"
#include "geometry/lwo_triangulate.h"
#include "platform/log.h"

namespace {

// Stores one file polygon as triangles of the layer. Points are merged indices; a polygon
// of more than three corners is cut in its own plane, fewer than three is dropped.
void AddPolygon(LwoObject* object, LwoLayer* layer, const std::vector<int32_t>& corners, int32_t face,
                std::vector<int32_t>* cut) {
  const int32_t n = static_cast<int32_t>(corners.size());
  if (n < 3) {
    object->skipped_polygons += 1;
    return;
  }
  cut->clear();
  if (n == 3) {
    cut->insert(cut->end(), {0, 1, 2});
  } else {
    if (!TriangulatePolygon(layer->points.data(), corners.data(), n, cut, &object->triangulation_work)) {
      object->fanned_polygons += 1;
    }
    object->triangulated_polygons += 1;
    // Credit for the corners comes after the polygon: what it may spend was earned before.
    object->triangulation_work -= TRIANGULATION_WORK_PER_CORNER * n;
  }
  for (int32_t position : *cut) layer->polygons.push_back(layer->point_base + corners[position]);
  const int32_t triangles = static_cast<int32_t>(cut->size() / 3);
  for (int32_t i = 0; i < triangles; ++i) layer->polygon_faces.push_back(face);
  layer->polygon_count += triangles;
  object->total_polygon_count += triangles;
}

}  // namespace

// FACE polygons are read, and so are PTCH (subdivision patch) polygons: their cage is a
// polygon mesh of the same corners, the coarse form of the smooth surface. Other types
// (CURV, MBAL, BONE, ...) have no triangles to give and are skipped.
void ReadLwoPolygons(LwoCursor* chunk) {
  LwoObject* object = chunk->object;
  const uint8_t* type = chunk->pos;
  LwoSkip(chunk, 4);
  if (object->failed) return;
  const bool patch = LwoIdIs(type, "PTCH");
  if (!LwoIdIs(type, "FACE") && !patch) {
    object->pols_state = LWO_POLS_SKIPPED;
    LogDebug("LWO2 %s: POLS %.4s skipped\n", object->file_name, reinterpret_cast<const char*>(type));
    return;
  }
  LwoLayer* layer = object->current_layer;
  if (!layer) {
    LwoFail(chunk, "polygons before any PNTS");
    return;
  }
  if (patch) object->patch_chunks += 1;
  object->pols_state = LWO_POLS_READ;
  object->pols_first_face = object->total_face_count;
  object->pols_face_count = 0;
  // A triangle takes 8 bytes: room for that many saves regrowing on big objects.
  const size_t expected_triangles = LwoBytesLeft(chunk) / 8;
  layer->polygons.reserve(layer->polygons.size() + 3 * expected_triangles);
  layer->polygon_faces.reserve(layer->polygon_faces.size() + expected_triangles);
  std::vector<int32_t> corners;
  std::vector<int32_t> cut;
  while (!LwoAtEnd(chunk)) {
    const uint8_t* at = chunk->pos;
    // The high six bits of the count word are flags.
    const uint32_t count = LwoReadU2(chunk) & 0x03FF;
    corners.clear();
    for (uint32_t k = 0; k < count; ++k) {
      const uint32_t index = LwoReadVx(chunk);
      if (object->failed) return;
      if (index >= static_cast<uint32_t>(layer->point_count)) {
        LwoFailAt(object, chunk->chunk, at, "polygon %d: vertex index %u out of range (%d points in the layer)",
                  object->pols_face_count, index, layer->point_count);
        return;
      }
      corners.push_back(static_cast<int32_t>(index));
    }
    if (object->failed) return;
    AddPolygon(object, layer, corners, object->total_face_count, &cut);
    if (object->total_polygon_count > LWO_MAX_TRIANGLES) {
      LwoFailAt(object, chunk->chunk, at, "more than %d triangles", LWO_MAX_TRIANGLES);
      return;
    }
    object->pols_face_count += 1;
    object->total_face_count += 1;
  }
  object->face_tags.resize(object->total_face_count, -1);
}

// PTAG SURF: each entry names its polygon (within the most recent POLS) and the tag string
// of the polygon's surface.
void ReadLwoPolygonTags(LwoCursor* chunk) {
  LwoObject* object = chunk->object;
  const size_t size = LwoBytesLeft(chunk);
  const uint8_t* type = chunk->pos;
  LwoSkip(chunk, 4);
  if (object->failed || !LwoIdIs(type, "SURF")) return;
  LogDebug("PTags: %u - %u\n", static_cast<unsigned>(size - 4), static_cast<unsigned>((size - 4) / 4));
  if (object->pols_state == LWO_POLS_SKIPPED) return;
  if (object->pols_state == LWO_POLS_NONE) {
    if (!LwoAtEnd(chunk)) LwoWarn(chunk, "polygon tags before any polygons of the layer: skipped");
    return;
  }
  int32_t unknown_tags = 0;
  while (!LwoAtEnd(chunk)) {
    const uint8_t* at = chunk->pos;
    const uint32_t polygon = LwoReadVx(chunk);
    const uint32_t tag = LwoReadU2(chunk);
    if (object->failed) return;
    if (polygon >= static_cast<uint32_t>(object->pols_face_count)) {
      LwoFailAt(object, chunk->chunk, at, "polygon index %u out of range (%d polygons)", polygon,
                object->pols_face_count);
      return;
    }
    if (tag >= object->tags.size()) {
      if (unknown_tags++ == 0) {
        LwoCursor here = *chunk;
        here.pos = at;
        LwoWarn(&here, "tag index %u out of range (%zu tags): the polygon keeps no surface", tag,
                object->tags.size());
      }
      continue;
    }
    object->face_tags[object->pols_first_face + polygon] = static_cast<int32_t>(tag);
  }
  if (unknown_tags > 1) LwoWarn(chunk, "%d entries in all named tags out of range", unknown_tags);
}
