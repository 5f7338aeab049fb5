// Loader traces on Windows: off unless SDL_LOGGING asks for debug lines, as on Linux.
#include "platform/log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win_text.h"

namespace {

// The same switch as SDL's log elsewhere: SDL_LOGGING=app=debug (or any "=debug" rule).
bool TracesOn() {
  static const bool on = [] {
    const char* rules = std::getenv("SDL_LOGGING");
    return rules && std::strstr(rules, "debug") != nullptr;
  }();
  return on;
}

}  // namespace

// To stderr (a console, or wherever it was redirected) and to the debugger, since the demo
// itself has no console window.
void LogDebug(const char* format, ...) {
  if (!TracesOn()) return;
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "DEBUG: %s\n", line);
  OutputDebugStringW(WideFromUtf8(std::string(line) + "\n").c_str());
}
