#include "platform/process.h"

#include <chrono>
#include <thread>

void EndProcess(int status) { throw ProcessExit{status}; }

#ifdef __EMSCRIPTEN__
// A page's one thread must never wait: the browser paces the frames, and the audio callback
// and the page's events run only between them.
void SleepMs(int) {}
#else
void SleepMs(int milliseconds) {
  if (milliseconds <= 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
#endif
