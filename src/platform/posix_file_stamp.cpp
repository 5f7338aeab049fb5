// File stamps from stat(2), with the nanoseconds of both times: two saves within one second
// differ, and so do a copy that put the old modification time back and a file renamed over.
#include <sys/stat.h>

#include "platform/file_stamp.h"

namespace {
int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}
}  // namespace

FileStamp ReadFileStamp(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return {0, -1, 0, 0, 0};
  return {Nanoseconds(info.st_mtim), static_cast<int64_t>(info.st_size), Nanoseconds(info.st_ctim),
          static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}
