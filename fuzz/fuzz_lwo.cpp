// The LWO2 object loader, and the same bytes as a morph target: onto the mesh they made
// themselves (the counts match, so the target is read through) and onto a small mesh of
// our own (where the counts usually differ).
#include "fuzz_support.h"
#include "geometry/lwo_mesh.h"
#include "geometry/lwo_writer.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"

namespace {

std::vector<uint8_t> g_quad;

std::vector<uint8_t> QuadObject() {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "quad");
  for (int i = 0; i < 4; i++) AddLwoPoint(layer, float(i & 1), float(i >> 1), 0.0f);
  AddLwoPolygon(layer, {0, 1, 3, 2}, "skin");
  AddLwoSurface(&writer, "skin", 1.0f, 0.5f, 0.0f, "", 0);
  return WriteLwo(writer);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  g_quad = QuadObject();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Mesh mesh{};
  RunLoader([&] {
    if (LoadLwoMesh(&mesh, ChunkOf(data, size, "fuzz.lwo"))) {
      LoadMorphTarget(&mesh, ChunkOf(data, size, "fuzz_morph.lwo"));
      BlendMorph(&mesh, 0.5f);
    }
  });
  FreeMeshArrays(&mesh);
  Mesh quad{};
  RunLoader([&] {
    if (LoadLwoMesh(&quad, ChunkOf(g_quad.data(), g_quad.size(), "quad.lwo"))) {
      LoadMorphTarget(&quad, ChunkOf(data, size, "fuzz_morph.lwo"));
    }
  });
  FreeMeshArrays(&quad);
  return 0;
}
