#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool g_message_boxes_enabled = false;
}

void SetMessageBoxesEnabled(bool enabled) { g_message_boxes_enabled = enabled; }
bool MessageBoxesEnabled() { return g_message_boxes_enabled; }

void ShowMessageBox(const char* text, const char* caption) {
  if (g_message_boxes_enabled && !std::getenv("KRA_NO_MESSAGE_BOXES") && ShowSystemMessageBox(text, caption)) return;
  // The caption leads the console line unless the text already says it ("Error in XML: ...").
  if (caption[0] == '\0' || std::strstr(text, caption)) {
    std::fprintf(stderr, "%s\n", text);
  } else {
    std::fprintf(stderr, "%s: %s\n", caption, text);
  }
  std::fflush(stderr);
}
