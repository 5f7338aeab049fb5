// A page runs from no folder on disk: its archive lies in the working folder of its own
// file system, where the page puts it.
#include "platform/executable_dir.h"

std::string ExecutableDir() { return ""; }
