#include "platform/fatal.h"

#include <cstdio>

#include "platform/message_box.h"

void RaiseFatal(const std::string& message, const std::string& caption, int status) {
  throw FatalError(message, caption, status);
}

void ReportFatal(const FatalError& error) {
  if (!error.caption.empty()) {
    ShowMessageBox(error.what(), error.caption.c_str());
    return;
  }
  std::fputs(error.what(), stderr);
  std::fflush(stderr);
}
