// Message boxes on Windows: the system's own, modal to the program, in the user's language's
// script (the text arrives in UTF-8).
#include "platform/message_box.h"

#include <windows.h>

#include "platform/win_text.h"

bool ShowSystemMessageBox(const char* text, const char* caption) {
  return MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(caption).c_str(),
                     MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL) != 0;
}
