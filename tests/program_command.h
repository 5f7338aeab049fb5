// The start of a shell command that runs one of the build's own programs from a test. On a
// cross build the programs cannot be started directly: the build's emulator (qemu's user
// mode) goes first, and it runs only the program it is given, not the programs that one
// starts, so every start from a test names it.
#pragma once

#include <string>

#ifndef KRA_RUN_PREFIX
#define KRA_RUN_PREFIX ""
#endif

inline std::string ProgramCommand(const std::string& name) {
  return std::string(KRA_RUN_PREFIX) + KRA_BINARY_DIR + "/" + name;
}
