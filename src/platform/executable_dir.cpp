#include "platform/executable_dir.h"

#include <SDL.h>

std::string ExecutableDir() {
  // Needs no SDL_Init: on Linux it reads the /proc/self/exe link.
  char* base = SDL_GetBasePath();
  if (!base) return "";
  std::string dir = base;
  SDL_free(base);
  return dir;
}
