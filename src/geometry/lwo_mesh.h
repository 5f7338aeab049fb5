// Building a Mesh from an LWO2 object file.
#pragma once

#include "geometry/mesh.h"
#include "resource/mem_chunk.h"

// Fills the zero-filled mesh from the chunk of an LWO2 file and frees the chunk's data
// (unless its size is 0). Returns 1 on success; 0 when the chunk is empty (file not found),
// the file is not LWO2 ("Wrong File Format!"), it is damaged, it has no points or no
// polygons, or it has more points than a mesh can index. Every 0 after a non-empty chunk
// comes with a console line naming the file and what is wrong, and leaves the mesh empty.
//
// All layers are merged into the one mesh; polygons of more than three corners are
// triangulated; per-corner UVs (VMAD) of a surface's UV map override the per-point ones.
int LoadLwoMesh(Mesh* mesh, MemChunk chunk);
