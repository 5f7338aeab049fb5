// Sleeping on a desktop: the thread gives up the processor for that long.
#include <chrono>
#include <thread>

#include "platform/process.h"

void SleepMs(int milliseconds) {
  if (milliseconds <= 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
