// Other programs the tools start: ffmpeg, fed raw frames through its standard input or run
// to mux a video. Programs are found on the PATH and started without a shell, so no file
// name needs quoting for one. One backend per system: posix_child_process.cpp,
// win_child_process.cpp.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct ChildProcess;

// Whether a program of that name (".exe" added on Windows) is on the PATH.
bool ProgramOnPath(const std::string& name);

// Starts args[0] with the rest as its arguments, its standard input a pipe written through
// *input (binary). Null with *error set when it cannot be started.
ChildProcess* StartWithInputPipe(const std::vector<std::string>& args, FILE** input, std::string* error);

// Closes the pipe, waits for the program and frees the record: its exit status, or -1 when
// it did not exit normally.
int FinishChild(ChildProcess* child);

// Runs args[0] with the rest as its arguments and waits: its exit status, or -1 when it
// could not be started or did not exit normally.
int RunProgram(const std::vector<std::string>& args);
