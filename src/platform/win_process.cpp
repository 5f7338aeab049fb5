// Sleeping on Windows, and the standard streams of a program started from a console.
#include "platform/process.h"

#include <windows.h>
#include <timeapi.h>

#include <cstdio>

namespace {

// Windows sleeps in steps of the system timer, 15.6 ms unless a program asks for finer;
// the demo's waits are a few milliseconds.
void FineTimer() {
  static const bool asked = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)asked;
}

// kra.exe is a GUI program: started from a console, it has no standard streams, so --help
// and errors would go nowhere. It takes the console it was started from, when there is one
// and the streams were not redirected. Text is UTF-8, as everywhere in the program.
// The console's own code page is given back on the way out.
struct ConsoleStreams {
  ConsoleStreams() : code_page(GetConsoleOutputCP()) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if ((error == nullptr || error == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
      std::freopen("CONOUT$", "w", stdout);
      std::freopen("CONOUT$", "w", stderr);
      code_page = GetConsoleOutputCP();
    }
    if (code_page != 0) SetConsoleOutputCP(CP_UTF8);
  }
  ~ConsoleStreams() {
    if (code_page != 0) SetConsoleOutputCP(code_page);
  }
  UINT code_page;
};
const ConsoleStreams g_console_streams;

}  // namespace

// Named by the link (-Wl,--undefined, src/platform/CMakeLists.txt), so every program takes
// this file, and the console set-up above, whether or not it ever sleeps.
extern "C" const int kra_windows_process_start = 0;

void SleepMs(int milliseconds) {
  FineTimer();
  Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}
