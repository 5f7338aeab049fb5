// A file's stamp, for watching files by polling: cheap, and allocating nothing, so a frame
// loop may ask. One backend per platform (posix_file_stamp.cpp, win_file_stamp.cpp).
//
// Any field that differs is a change. The modification time alone misses a copy that keeps
// it (cp -p, rsync -t, a tar restore) when the size stays too; the change time and the file's
// identity catch those, and a file renamed over another.
#pragma once

#include <cstdint>

struct FileStamp {
  int64_t modified_ns;  // 0 when the file does not exist
  int64_t size;         // -1 when the file does not exist
  int64_t changed_ns;   // the status change time (POSIX ctime); 0 where there is none
  uint64_t device;      // which file it is: device and inode (the volume and file index on
  uint64_t inode;       // Windows)
  bool operator==(const FileStamp&) const = default;
};

FileStamp ReadFileStamp(const char* path);
