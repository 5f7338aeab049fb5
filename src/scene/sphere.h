// The UV sphere of the scene scripts' <CreateSphere>: one triangle strip per band of
// latitude, with its own vertices per band.
#pragma once

#include <cstdint>

#include "geometry/mesh.h"

// Fills an empty (zero-filled) mesh. slices >= 3 segments around, slices / 2 bands from the
// bottom pole up; with an odd slices the top band stops short of the top pole, leaving an
// opening. Column slices repeats column 0 with u = 1, so a texture wraps once around. One
// surface whose triangle list is empty; face normals are left 0.
// Returns 1, or 0 with a console line and the mesh left empty when the sphere would have
// more vertices than a mesh can index (more than SPHERE_MAX_SLICES slices).
int CreateSphere(Mesh* mesh, double radius, int32_t slices);

constexpr int32_t SPHERE_MAX_SLICES = 181;
