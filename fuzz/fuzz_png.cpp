// PNG decoding into a texture, as the demo parts and the scene textures do it.
#include "fuzz_support.h"
#include "resource/png_texture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunLoader([&] {
    Texture texture = DecodePng(ChunkOf(data, size, "fuzz.png"));
    FreeTexture(&texture);
  });
  return 0;
}
