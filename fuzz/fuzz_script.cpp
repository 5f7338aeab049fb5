// Scene scripts through the real XML loader. The scratch folder holds a few small objects
// and a motion file for the scripts to name ("cube.lwo", "quad.lwo", "tri.lwo",
// "morph.lwo", "walk.mot"); spheres they make themselves.
#include <unistd.h>

#include "fuzz_support.h"
#include "geometry/lwo_writer.h"
#include "geometry/motion.h"
#include "geometry/motion_writer.h"
#include "scene/scene.h"
#include "resource/data_archive.h"
#include "scene/object_motion.h"
#include "scene/scene_xml.h"

namespace {

void WriteObject(const char* name, int corners, float scale) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, name);
  std::vector<int32_t> ring;
  for (int i = 0; i < corners; i++) {
    ring.push_back(AddLwoPoint(layer, scale * float(i % 2), scale * float(i / 2 % 2), float(i / 4)));
  }
  AddLwoPolygon(layer, {ring[0], ring[1], ring[2]}, "skin");
  if (corners >= 4) AddLwoPolygon(layer, {ring[1], ring[3], ring[2]}, "skin");
  if (corners >= 8) AddLwoPolygon(layer, {ring[4], ring[5], ring[7], ring[6]}, "skin");
  LwoWriterMap* uv = AddLwoUvMap(layer, "Lightmap");
  for (int i = 0; i < corners; i++) AddLwoUv(uv, ring[i], 0.5f, float(i) / corners);
  AddLwoSurface(&writer, "skin", 1.0f, 1.0f, 1.0f, "Lightmap", 1);
  AddLwoClip(&writer, 1, "Images/skin.png");
  std::vector<uint8_t> bytes = WriteLwo(writer);
  WriteFile(name, bytes.data(), bytes.size());
}

void WriteMotion() {
  MotionWriter writer;
  for (int i = 0; i < 3; i++) {
    MotionRecord key{};
    key.time = 30 * i;
    key.position[0] = float(i);
    key.scale[0] = key.scale[1] = key.scale[2] = 1.0f;
    AddMotionRecord(&writer, key);
  }
  std::vector<uint8_t> bytes = MotionFileBytes(writer);
  WriteFile("walk.mot", bytes.data(), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  g_scene_xml.quiet = 1;
  if (chdir(ScratchFolder().c_str()) != 0) return 0;
  WriteObject("cube.lwo", 8, 1.0f);
  WriteObject("morph.lwo", 8, 2.0f);
  WriteObject("quad.lwo", 4, 1.0f);
  WriteObject("tri.lwo", 3, 1.0f);
  WriteMotion();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Scene scene;
  RunLoader([&] {
    LoadSceneXml(&scene, ChunkOf(data, size, "fuzz.xml"));
    scene.delta_seconds = 0.5f;
    UpdateSceneMotion(&scene);
  });
  FreeScene(&scene);
  ResetSceneXmlState();
  // A <zfile> may have opened an archive: the next input starts from disk alone again.
  CloseArchive(&g_data_archive);
  g_data_archive.search_mode = SEARCH_DISK_ONLY;
  return 0;
}
