// The program's folder on Windows: the module's own path, in UTF-8 like every file name here.
#include "platform/executable_dir.h"

#include <windows.h>

#include "platform/win_text.h"

std::string ExecutableDir() {
  // The path may be longer than MAX_PATH; the buffer grows until it fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return "";
  return Utf8FromWide(path.substr(0, slash + 1));
}
