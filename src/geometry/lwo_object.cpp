#include "geometry/lwo_object.h"

template <typename Node>
static void FreeList(Node** head, Node** current, int32_t* count) {
  Node* node = *head;
  while (node) {
    Node* next = node->next;
    delete node;
    node = next;
  }
  *head = nullptr;
  *current = nullptr;
  *count = 0;
}

void FreeLwoObject(LwoObject* object) {
  FreeList(&object->layers, &object->current_layer, &object->layer_count);
  FreeList(&object->uv_maps, &object->current_uv_map, &object->uv_map_count);
  FreeList(&object->weight_maps, &object->current_weight_map, &object->weight_map_count);
  FreeList(&object->surfaces, &object->current_surface, &object->surface_count);
  FreeList(&object->clips, &object->current_clip, &object->clip_count);
  object->face_tags.clear();
  object->tags.clear();
  object->total_point_count = 0;
  object->total_polygon_count = 0;
  object->total_face_count = 0;
}

int32_t FindSurfaceForTag(const LwoObject* object, int32_t tag) {
  if (tag < 0 || tag >= static_cast<int32_t>(object->tags.size())) return -1;
  const std::string& name = object->tags[tag];
  int32_t position = 0;
  for (const LwoSurface* surface = object->surfaces; surface; surface = surface->next, ++position) {
    if (surface->name == name) return position;
  }
  return -1;
}
