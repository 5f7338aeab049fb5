// The program's folder through SDL, which needs no SDL_Init for it: on Linux it reads the
// /proc/self/exe link.
#include <SDL.h>

#include "platform/executable_dir.h"

std::string ExecutableDir() {
  char* base = SDL_GetBasePath();
  if (!base) return "";
  std::string dir = base;
  SDL_free(base);
  return dir;
}
