#include "geometry/morph_target.h"

#include <cstdio>

#include "geometry/lwo_object.h"
#include "platform/fatal.h"
#include "platform/load_problems.h"
#include "platform/printable_text.h"

namespace {

// The base shape is what was loaded; it is copied once, when the first target arrives, so
// a later target never takes a blended shape for the base.
void CreateTargetArrays(Mesh* mesh) {
  if (mesh->morph_targets) return;
  mesh->morph_targets = new MeshVertex*[2];
  mesh->morph_targets[0] = new MeshVertex[mesh->vertex_count];
  mesh->morph_targets[1] = new MeshVertex[mesh->vertex_count]();
  for (int32_t i = 0; i < mesh->vertex_count; ++i) mesh->morph_targets[0][i] = mesh->vertices[i];
}

void CopyTargetPositions(Mesh* mesh, const LwoObject& object) {
  MeshVertex* target = mesh->morph_targets[1];
  for (const LwoLayer* layer = object.layers; layer; layer = layer->next) {
    for (int32_t i = 0; i < layer->point_count; ++i) {
      MeshVertex* v = &target[layer->point_base + i];
      v->x = layer->points[3 * i + 0];
      v->y = layer->points[3 * i + 1];
      v->z = layer->points[3 * i + 2];
    }
  }
}

float Blend(float a, float b, float weight) {
  if (weight <= 0.0f) return a;
  if (weight >= 1.0f) return b;
  return a + weight * (b - a);
}

}  // namespace

int LoadMorphTarget(Mesh* mesh, MemChunk chunk) {
  if (mesh->vertex_count + mesh->triangle_count == 0 || mesh->morph_count == 0) {
    std::fprintf(stderr, "No object preloaded in Morph\n");
    if (chunk.size > 0) delete[] chunk.data;
    return 0;
  }
  CreateTargetArrays(mesh);
  if (chunk.size <= 0) return 0;
  LwoObject object{};
  ReadLwoFile(&object, chunk.data, chunk.size, chunk.name);
  delete[] chunk.data;
  if (object.failed) {
    std::fprintf(stderr, "%s\n", PrintableText(object.error).c_str());
    NoteLoadProblem(object.file_name, object.error);
  }
  if (object.failed && !object.wrong_format) {
    FreeLwoObject(&object);
    return 0;
  }
  // A file that is not LWO2 has no points, so it ends here too.
  if (object.total_point_count != mesh->vertex_count || object.total_polygon_count != mesh->triangle_count) {
    std::fprintf(stderr, "%s: morph target of %d points and %d triangles for a mesh of %d and %d\n",
                 PrintableText(object.file_name).c_str(), object.total_point_count, object.total_polygon_count,
                 mesh->vertex_count,
                 mesh->triangle_count);
    NoteLoadProblem(object.file_name, "a morph target that does not fit its mesh");
    FreeLwoObject(&object);
    RaiseFatal("MORPH: numvert/polys doesn't match!\n", "", 1);
  }
  CopyTargetPositions(mesh, object);
  FreeLwoObject(&object);
  mesh->morph_count = 2;
  return 1;
}

int BlendMorph(Mesh* mesh, float weight) {
  if (mesh->morph_count != 2) return 0;
  const MeshVertex* a = mesh->morph_targets[0];
  const MeshVertex* b = mesh->morph_targets[1];
  for (int32_t i = 0; i < mesh->vertex_count; ++i) {
    MeshVertex* v = &mesh->vertices[i];
    v->x = Blend(a[i].x, b[i].x, weight);
    v->y = Blend(a[i].y, b[i].y, weight);
    v->z = Blend(a[i].z, b[i].z, weight);
  }
  return 1;
}
