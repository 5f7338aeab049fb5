#include "platform/process.h"

#include <chrono>
#include <thread>

void EndProcess(int status) { throw ProcessExit{status}; }

void SleepMs(int milliseconds) {
  if (milliseconds <= 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
