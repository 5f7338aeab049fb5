// Child processes on Windows: CreateProcess with the program found by SearchPath and a
// command line quoted the way the C runtime splits it again, never through cmd.exe.
#include "platform/child_process.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/win_text.h"

struct ChildProcess {
  HANDLE process;
  FILE* input;
};

namespace {

// The program's full path from the PATH (".exe" added), "" when it is on none of it.
std::wstring FindProgram(const std::string& name) {
  const std::wstring wide = WideFromUtf8(name);
  wchar_t found[MAX_PATH * 4];
  const DWORD length = SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH * 4, found, nullptr);
  return length > 0 && length < MAX_PATH * 4 ? std::wstring(found, length) : std::wstring();
}

// One argument quoted as the C runtime's command-line parser splits it again: backslashes
// are literal except before a quote, where they and the quote are escaped.
void AppendQuoted(std::wstring* line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    *line += arg;
    return;
  }
  *line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    line->append(backslashes, L'\\');
    backslashes = 0;
    *line += c;
  }
  line->append(backslashes * 2, L'\\');
  *line += L'"';
}

std::wstring CommandLine(const std::vector<std::string>& args) {
  std::wstring line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += L' ';
    AppendQuoted(&line, WideFromUtf8(arg));
  }
  return line;
}

std::string LastErrorText() {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = text ? Utf8FromWide(text) : "unknown error";
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

// Starts the program with the given standard input (inherited), the others this process's.
HANDLE Start(const std::vector<std::string>& args, HANDLE input, std::string* error) {
  const std::wstring program = FindProgram(args[0]);
  if (program.empty()) {
    *error = "cannot start " + args[0] + ": it is not on the PATH";
    return nullptr;
  }
  std::wstring line = CommandLine(args);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    *error = "cannot start " + args[0] + ": " + LastErrorText();
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

int WaitExit(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  const bool known = GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return known ? static_cast<int>(code) : -1;
}

}  // namespace

bool ProgramOnPath(const std::string& name) { return !FindProgram(name).empty(); }

ChildProcess* StartWithInputPipe(const std::vector<std::string>& args, FILE** input, std::string* error) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 1 << 20)) {
    *error = "cannot make a pipe: " + LastErrorText();
    return nullptr;
  }
  // Only the child's end is inherited, or the child would hold its own input open.
  SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, 0);
  const HANDLE process = Start(args, read_end, error);
  CloseHandle(read_end);
  if (!process) {
    CloseHandle(write_end);
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(write_end), _O_WRONLY | _O_BINARY);
  *input = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
  if (!*input) {
    if (fd >= 0) _close(fd); else CloseHandle(write_end);
    WaitExit(process);
    *error = "cannot write to " + args[0];
    return nullptr;
  }
  return new ChildProcess{process, *input};
}

int FinishChild(ChildProcess* child) {
  if (!child) return -1;
  if (child->input) std::fclose(child->input);
  const int status = WaitExit(child->process);
  delete child;
  return status;
}

int RunProgram(const std::vector<std::string>& args) {
  std::string ignored;
  const HANDLE process = Start(args, GetStdHandle(STD_INPUT_HANDLE), &ignored);
  return process ? WaitExit(process) : -1;
}
