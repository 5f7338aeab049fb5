// A file's modification stamp, for watching files by polling: cheap, and allocating
// nothing, so a frame loop may ask. One backend per platform (posix_file_stamp.cpp).
#pragma once

#include <cstdint>

struct FileStamp {
  int64_t modified_ns;  // 0 when the file does not exist
  int64_t size;         // -1 when the file does not exist
  bool operator==(const FileStamp&) const = default;
};

FileStamp ReadFileStamp(const char* path);
