#include "platform/executable_dir.h"

#ifdef __EMSCRIPTEN__
// A page runs from no folder on disk: its archive lies in the working folder of its own
// file system, where the page puts it.
std::string ExecutableDir() { return ""; }
#else
#include <SDL.h>

std::string ExecutableDir() {
  // Needs no SDL_Init: on Linux it reads the /proc/self/exe link.
  char* base = SDL_GetBasePath();
  if (!base) return "";
  std::string dir = base;
  SDL_free(base);
  return dir;
}
#endif
