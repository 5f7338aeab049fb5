// The system counter in a page: performance.now(), in milliseconds, counted here in
// microseconds.
#include <emscripten.h>

#include "platform/counter.h"

int64_t SystemCounter::Read() { return static_cast<int64_t>(emscripten_get_now() * 1000.0); }
int64_t SystemCounter::Frequency() { return 1000000; }
