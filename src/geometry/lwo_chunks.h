// The handlers of the LWO2 chunks the loader reads, one per chunk ID. Each gets a cursor
// over the chunk's data (after the 8-byte header) and reads it into the cursor's object.
#pragma once

#include "geometry/lwo_cursor.h"

void ReadLwoTags(LwoCursor* chunk);
void ReadLwoPoints(LwoCursor* chunk);
void ReadLwoPolygons(LwoCursor* chunk);
void ReadLwoPolygonTags(LwoCursor* chunk);
void ReadLwoVertexMap(LwoCursor* chunk);
void ReadLwoCornerMap(LwoCursor* chunk);
void ReadLwoSurface(LwoCursor* chunk);
void ReadLwoClip(LwoCursor* chunk);

// Appends a node at the tail of a doubly linked list, counts it and makes it the current
// node of its kind. The tail is the current node, so a file of a million tiny chunks does
// not walk its lists a million times.
template <typename Node>
void AppendLwoNode(Node** head, Node** current, int32_t* count, Node* node) {
  node->next = nullptr;
  node->prev = *current;
  if (*current) (*current)->next = node;
  else *head = node;
  *current = node;
  *count += 1;
}
