// File stamps from stat(2), with the nanoseconds of the modification time: two saves within
// one second differ, as do saves that keep the time but change the size.
#include <sys/stat.h>

#include "platform/file_stamp.h"

FileStamp ReadFileStamp(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return {0, -1};
  return {static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
          static_cast<int64_t>(info.st_size)};
}
