// Ending the process, and sleeping.
//
// EndProcess does not call exit(): it throws ProcessExit, which the demo body turns into
// its return value. That keeps "Escape ends the demo with status 0" testable in-process
// and lets the driver close its devices on the way out.
#pragma once

struct ProcessExit {
  int status;
};

[[noreturn]] void EndProcess(int status);

// Sleeps for the given milliseconds; 0 gives up the rest of the time slice. In a web page
// it returns at once.
void SleepMs(int milliseconds);
