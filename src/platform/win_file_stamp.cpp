// File stamps on Windows: the last-write time (in 100 ns ticks) and the size from
// GetFileAttributesExW, the UTF-8 path widened into a buffer on the stack, so a poll
// allocates nothing.
#include <windows.h>

#include "platform/file_stamp.h"

FileStamp ReadFileStamp(const char* path) {
  wchar_t wide[MAX_PATH * 4];
  if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, static_cast<int>(sizeof wide / sizeof wide[0])) == 0) {
    return {0, -1};
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide, GetFileExInfoStandard, &data)) return {0, -1};
  const int64_t ticks = (static_cast<int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                        data.ftLastWriteTime.dwLowDateTime;
  const int64_t size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return {ticks * 100, size};
}
