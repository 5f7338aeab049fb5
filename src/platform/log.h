// Loader traces. They go to SDL's log at debug priority, which is off unless the user turns
// it on (SDL_LOGGING=app=debug), so a normal run prints nothing from them. A web page has
// no way to turn them on.
#pragma once

void LogDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
