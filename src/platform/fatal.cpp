#include "platform/fatal.h"

#include <cstdio>

#include "platform/message_box.h"
#include "platform/printable_text.h"

void RaiseFatal(const std::string& message, const std::string& caption, int status) {
  throw FatalError(message, caption, status);
}

void ReportFatal(const FatalError& error) {
  // Places and messages carry names and text from data files.
  const std::string text = PrintableText(error.place.empty() ? error.what() : error.place + ": " + error.what(), true);
  if (!error.caption.empty()) {
    ShowMessageBox(text.c_str(), error.caption.c_str());
    return;
  }
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}
