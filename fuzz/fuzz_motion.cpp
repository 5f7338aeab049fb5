// Motion files, loaded into an object and played for a few frames.
#include "fuzz_support.h"
#include "geometry/motion.h"
#include "geometry/motion_file.h"
#include "scene/object_motion.h"
#include "scene/scene.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Scene scene;
  RunLoader([&] {
    SceneObject* object = AddObject(&scene, nullptr);
    MemChunk chunk = ChunkOf(data, size, "fuzz.mot");
    if (!LoadMotionChunk(object, chunk)) FreeChunk(&chunk);
    scene.delta_seconds = 0.5f;
    for (int frame = 0; frame < 4; frame++) UpdateSceneMotion(&scene);
  });
  FreeScene(&scene);
  return 0;
}
