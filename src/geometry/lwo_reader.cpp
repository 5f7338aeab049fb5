// The chunk walk of an LWO2 file: the FORM, its children, and the simple chunks (TAGS,
// PNTS). Every size is checked against the parent before anything inside is touched.
#include <cstdio>

#include "geometry/lwo_chunks.h"
#include "geometry/lwo_object.h"
#include "platform/message_box.h"

namespace {

constexpr int32_t LWO_HEADER_SIZE = 12;  // "FORM", size, "LWO2"

void ReadForm(LwoCursor* form) {
  LwoObject* object = form->object;
  LwoSkip(form, 4);  // the form type, checked by ReadLwoFile
  object->in_form = 1;
  const uint8_t* child = form->pos;
  while (child < form->end && !object->failed) {
    const int32_t size = ReadLwoChunk(child, form->end, object);
    if (size < 0) break;
    child += 8 + static_cast<size_t>(size);
    // IFF pads every odd-sized chunk to an even length.
    if ((size & 1) && child < form->end) child += 1;
  }
  object->in_form = 0;
}

}  // namespace

int32_t ReadLwoChunk(const uint8_t* bytes, const uint8_t* end, LwoObject* object) {
  if (object->failed) return -1;
  if (end - bytes < 8) {
    LwoFailAt(object, end - bytes >= 4 ? "(cut)" : "(none)", bytes, "chunk header cut short (%ld bytes left)",
              static_cast<long>(end - bytes));
    return -1;
  }
  LwoCursor header = MakeLwoCursor(object, bytes, bytes + 4, bytes + 8);
  const uint32_t size = LwoReadU4(&header);
  const size_t room = static_cast<size_t>(end - bytes) - 8;
  if (size > room) {
    // Outside the FORM the parent is the file itself, and a file cut short ends up here.
    LwoFailAt(object, header.chunk, bytes, "size %u runs past the end of %s (%zu bytes left)", size,
              object->in_form ? "its parent" : "the file", room);
    return -1;
  }
  LwoCursor chunk = MakeLwoCursor(object, bytes, bytes + 8, bytes + 8 + size);
  // A FORM inside the FORM is no part of LWO2; it is skipped rather than followed, so no
  // file can nest the reader deeper than one level.
  if (LwoIdIs(bytes, "FORM") && !object->in_form) ReadForm(&chunk);
  else if (LwoIdIs(bytes, "TAGS")) ReadLwoTags(&chunk);
  else if (LwoIdIs(bytes, "PNTS")) ReadLwoPoints(&chunk);
  else if (LwoIdIs(bytes, "POLS")) ReadLwoPolygons(&chunk);
  else if (LwoIdIs(bytes, "PTAG")) ReadLwoPolygonTags(&chunk);
  else if (LwoIdIs(bytes, "VMAP")) ReadLwoVertexMap(&chunk);
  else if (LwoIdIs(bytes, "VMAD")) ReadLwoCornerMap(&chunk);
  else if (LwoIdIs(bytes, "SURF")) ReadLwoSurface(&chunk);
  else if (LwoIdIs(bytes, "CLIP")) ReadLwoClip(&chunk);
  return object->failed ? -1 : static_cast<int32_t>(size);
}

int ReadLwoFile(LwoObject* object, const uint8_t* data, int32_t size, const char* file_name) {
  object->file_name = file_name ? file_name : "(memory)";
  object->file_start = data;
  if (size < LWO_HEADER_SIZE) {
    LwoFailAt(object, "FORM", data, "file of %d bytes is too short for an LWO2 header", size);
    return 0;
  }
  if (!LwoIdIs(data, "FORM") || !LwoIdIs(data + 8, "LWO2")) {
    ShowMessageBox("Wrong File Format!", "Whassuuup??");
    const bool form = LwoIdIs(data, "FORM");
    const LwoCursor named = MakeLwoCursor(object, form ? data + 8 : data, data, data);  // a printable ID
    if (form) LwoFailAt(object, "FORM", data, "not an LWO2 file (FORM type \"%s\")", named.chunk);
    else LwoFailAt(object, "FORM", data, "not an LWO2 file (no IFF FORM; it begins with \"%s\")", named.chunk);
    object->wrong_format = 1;
    return 0;
  }
  ReadLwoChunk(data, data + size, object);
  return object->failed ? 0 : 1;
}

// Tag strings fill the table from its first slot; a later TAGS chunk overwrites the slots
// again from the first.
void ReadLwoTags(LwoCursor* chunk) {
  LwoObject* object = chunk->object;
  size_t slot = 0;
  while (!LwoAtEnd(chunk)) {
    std::string tag = LwoReadString(chunk);
    if (object->failed) return;
    if (slot < object->tags.size()) object->tags[slot] = tag;
    else object->tags.push_back(tag);
    ++slot;
  }
}

// Each PNTS starts a layer: the points of the layers before it come first in the mesh.
void ReadLwoPoints(LwoCursor* chunk) {
  LwoObject* object = chunk->object;
  const size_t bytes = LwoBytesLeft(chunk) / 12 * 12;
  if (bytes != LwoBytesLeft(chunk)) {
    LwoWarn(chunk, "size %zu is not a multiple of 12 (three floats per point): the last %zu bytes skipped",
            LwoBytesLeft(chunk), LwoBytesLeft(chunk) - bytes);
  }
  LwoLayer* layer = new LwoLayer();
  layer->point_count = static_cast<int32_t>(bytes / 12);
  layer->point_base = object->total_point_count;
  layer->points.resize(bytes / 4);
  for (int32_t i = 0; i < layer->point_count; ++i) {
    layer->points[3 * i + 0] = LwoReadF4(chunk);
    layer->points[3 * i + 1] = -LwoReadF4(chunk);
    layer->points[3 * i + 2] = LwoReadF4(chunk);
  }
  AppendLwoNode(&object->layers, &object->current_layer, &object->layer_count, layer);
  object->total_point_count += layer->point_count;
  object->pols_state = LWO_POLS_NONE;
  object->pols_face_count = 0;
}
