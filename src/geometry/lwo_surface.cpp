// SURF and CLIP. A surface gives the mesh its colour (COLR), its UV map name and its image
// (the VMAP and IMAG of its texture blocks); a clip gives the image's file name (STIL).
// Both are walked as sub-chunks, so a name or a channel value that happens to spell a
// sub-chunk ID is never taken for one.
#include <cstdio>

#include "geometry/lwo_chunks.h"
#include "platform/log.h"

namespace {

struct SurfaceFound {
  bool colour;
  bool image;
  bool uv_map;
};

// The first IMAG and the first VMAP over all of the surface's blocks are the ones used.
void ReadTextureBlock(LwoCursor* block, LwoSurface* surface, SurfaceFound* found) {
  LwoCursor sub;
  while (LwoNextSubChunk(block, &sub)) {
    if (LwoCursorIs(&sub, "IMAG") && !found->image) {
      surface->image = static_cast<int32_t>(LwoReadVx(&sub));
      found->image = true;
    } else if (LwoCursorIs(&sub, "VMAP") && !found->uv_map) {
      surface->uv_map_name = LwoReadString(&sub);
      found->uv_map = true;
    }
  }
}

}  // namespace

void ReadLwoSurface(LwoCursor* chunk) {
  LwoObject* object = chunk->object;
  const std::string name = LwoReadString(chunk);
  LwoReadString(chunk);  // the surface it derives from: not used
  if (object->failed) return;
  if (object->surface_count >= MESH_MAX_SURFACES) {
    object->dropped_surfaces += 1;
    return;
  }
  LwoSurface* surface = new LwoSurface();
  surface->name = name;
  SurfaceFound found{};
  LwoCursor sub;
  while (LwoNextSubChunk(chunk, &sub)) {
    if (LwoCursorIs(&sub, "COLR") && !found.colour) {
      surface->r = LwoReadF4(&sub);
      surface->g = LwoReadF4(&sub);
      surface->b = LwoReadF4(&sub);
      found.colour = true;
    } else if (LwoCursorIs(&sub, "BLOK")) {
      ReadTextureBlock(&sub, surface, &found);
    }
  }
  if (object->failed) {
    delete surface;
    return;
  }
  LogDebug("LWO2 %s: surface %s, colour %g %g %g, image %d, UV map \"%s\"\n", object->file_name,
           surface->name.c_str(), surface->r, surface->g, surface->b, surface->image,
           surface->uv_map_name.c_str());
  AppendLwoNode(&object->surfaces, &object->current_surface, &object->surface_count, surface);
}

void ReadLwoClip(LwoCursor* chunk) {
  LwoObject* object = chunk->object;
  const uint32_t index = LwoReadU4(chunk);
  if (object->failed) return;
  LwoClip* clip = new LwoClip();
  clip->index = static_cast<int32_t>(index & 0x7FFFFFFF);
  bool still = false;
  LwoCursor sub;
  while (LwoNextSubChunk(chunk, &sub)) {
    if (LwoCursorIs(&sub, "STIL") && !still) {
      clip->file_name = LwoReadString(&sub);
      still = true;
    }
  }
  if (object->failed) {
    delete clip;
    return;
  }
  AppendLwoNode(&object->clips, &object->current_clip, &object->clip_count, clip);
}
