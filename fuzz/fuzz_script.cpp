// Scene scripts through the real XML loader, in the scratch folder with the objects and the
// motion file of WriteScriptFiles for the scripts to name; spheres they make themselves.
#include <unistd.h>

#include "fuzz_support.h"
#include "scene/scene.h"
#include "resource/data_archive.h"
#include "scene/object_motion.h"
#include "scene/scene_xml.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  g_scene_xml.quiet = 1;
  if (chdir(ScratchFolder().c_str()) != 0) return 0;
  WriteScriptFiles();
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
