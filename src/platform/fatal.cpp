#include "platform/fatal.h"

#include <cstdio>

#include "platform/message_box.h"

void RaiseFatal(const std::string& message, const std::string& caption, int status) {
  throw FatalError(message, caption, status);
}

void ReportFatal(const FatalError& error) {
  const std::string text = error.place.empty() ? error.what() : error.place + ": " + error.what();
  if (!error.caption.empty()) {
    ShowMessageBox(text.c_str(), error.caption.c_str());
    return;
  }
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}
