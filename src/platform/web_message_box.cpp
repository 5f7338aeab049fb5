// Message boxes in a page: none; the line on stderr shows in the browser's console.
#include "platform/message_box.h"

bool ShowSystemMessageBox(const char*, const char*) { return false; }
