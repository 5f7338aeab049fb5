// Loader traces through SDL's log at debug priority: off unless SDL_LOGGING=app=debug.
#include <SDL.h>

#include <cstdarg>

#include "platform/log.h"

void LogDebug(const char* format, ...) {
  va_list args;
  va_start(args, format);
  SDL_LogMessageV(SDL_LOG_CATEGORY_APPLICATION, SDL_LOG_PRIORITY_DEBUG, format, args);
  va_end(args);
}
