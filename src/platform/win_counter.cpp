// The system counter on Windows: QueryPerformanceCounter, whose rate is fixed at boot.
#include "platform/counter.h"

#include <windows.h>

int64_t SystemCounter::Read() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

int64_t SystemCounter::Frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}
