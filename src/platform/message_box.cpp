#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/printable_text.h"

namespace {
bool g_message_boxes_enabled = false;
}

void SetMessageBoxesEnabled(bool enabled) { g_message_boxes_enabled = enabled; }
bool MessageBoxesEnabled() { return g_message_boxes_enabled; }

void ShowMessageBox(const char* text, const char* caption) {
  if (g_message_boxes_enabled && !std::getenv("KRA_NO_MESSAGE_BOXES") && ShowSystemMessageBox(text, caption)) return;
  // The caption leads the console line unless the text already says it ("Error in XML: ...").
  const std::string said = PrintableText(text, true);
  if (caption[0] == '\0' || std::strstr(text, caption)) {
    std::fprintf(stderr, "%s\n", said.c_str());
  } else {
    std::fprintf(stderr, "%s: %s\n", caption, said.c_str());
  }
  std::fflush(stderr);
}
