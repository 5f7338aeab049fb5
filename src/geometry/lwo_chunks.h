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

// Appends a node at the tail of a doubly linked list and counts it.
template <typename Node>
void AppendLwoNode(Node** head, int32_t* count, Node* node) {
  node->next = nullptr;
  node->prev = nullptr;
  if (!*head) {
    *head = node;
  } else {
    Node* tail = *head;
    while (tail->next) tail = tail->next;
    tail->next = node;
    node->prev = tail;
  }
  *count += 1;
}
