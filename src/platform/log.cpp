#include "platform/log.h"

#include <cstdarg>

#ifndef __EMSCRIPTEN__
#include <SDL.h>
#endif

#ifdef __EMSCRIPTEN__
// A page has no environment to turn the traces on with: they stay off.
void LogDebug(const char*, ...) {}
#else
void LogDebug(const char* format, ...) {
  va_list args;
  va_start(args, format);
  SDL_LogMessageV(SDL_LOG_CATEGORY_APPLICATION, SDL_LOG_PRIORITY_DEBUG, format, args);
  va_end(args);
}
#endif
