// The system counter on a desktop: SDL's performance counter (QueryPerformanceCounter on
// Windows, CLOCK_MONOTONIC elsewhere).
#include <SDL.h>

#include "platform/counter.h"

int64_t SystemCounter::Read() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t SystemCounter::Frequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }
