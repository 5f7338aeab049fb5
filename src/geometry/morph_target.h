// Morph targets: a mesh that blends its drawn positions between its base shape and a second
// LWO2 object of the same points and triangles, matched by index.
#pragma once

#include "geometry/mesh.h"
#include "resource/mem_chunk.h"

// Loads the target from the chunk of an LWO2 file and frees the chunk's data. Returns 1 on
// success (morph_count becomes 2); 0 when the mesh has nothing loaded ("No object preloaded
// in Morph"), the chunk is empty, or the file is damaged (with a console line). A target
// whose point or triangle count differs from the mesh's is a fatal data error:
// "MORPH: numvert/polys doesn't match!\n", exit status 1. A second target replaces the first.
int LoadMorphTarget(Mesh* mesh, MemChunk chunk);

// Sets the drawn positions for a blend weight: the base shape at weight <= 0, the target at
// weight >= 1, linear in between. Normals and lightmap coordinates stay as loaded. Returns 1
// when the mesh has a target, else 0 without touching it.
int BlendMorph(Mesh* mesh, float weight);
