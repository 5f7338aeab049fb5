// Face and vertex normals of a mesh.
//
// Face normal of a triangle with corners P, Q, R: (P - Q) x (Q - R), not normalised.
// Vertex normal: the sum of the face normals of every triangle corner whose position equals
// the vertex's (x, y, z compared as floats), taken triangle by triangle and corner by corner,
// times 1 / count, then made unit length. Vertices are matched by position, not index, so
// the copies of a point split along a UV seam get one smooth normal. A vertex that no
// corner matches (used by no triangle) gets 0, 0, 0.
#pragma once

#include "geometry/mesh.h"

// Groups equal positions by sorting them: n log n in the mesh size whatever positions a file
// chooses. Gives the same bits as ComputeMeshNormalsNaive.
void ComputeMeshNormals(Mesh* mesh);

// Compares every vertex with every triangle corner (vertices x triangles work). Kept as the
// reference the grouped form is tested and measured against.
void ComputeMeshNormalsNaive(Mesh* mesh);
