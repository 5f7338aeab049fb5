#include "resource/archive_damage.h"

#include <minizip/unzip.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int64_t END_RECORD_SIZE = 22;
constexpr int64_t MAX_COMMENT_SIZE = 65535;

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }

std::string Printed(const char* format, long long a, long long b = 0, long long c = 0) {
  char text[200];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

// The file's last bytes, where the end record and the comment after it lie.
std::vector<uint8_t> ReadTail(const char* path, int64_t size) {
  const int64_t length = size < END_RECORD_SIZE + MAX_COMMENT_SIZE ? size : END_RECORD_SIZE + MAX_COMMENT_SIZE;
  std::vector<uint8_t> tail((size_t)length);
  FILE* file = std::fopen(path, "rb");
  bool read = file && std::fseek(file, (long)(size - length), SEEK_SET) == 0 &&
              std::fread(tail.data(), 1, tail.size(), file) == tail.size();
  if (file) std::fclose(file);
  if (!read) tail.clear();
  return tail;
}

// The end record's own story: "" when it is whole and its directory lies before it.
std::string EndRecordDamage(const char* path, int64_t size) {
  if (size < END_RECORD_SIZE) return Printed("%lld bytes, too short for a zip archive", size);
  const std::vector<uint8_t> tail = ReadTail(path, size);
  if (tail.empty()) return "it cannot be read";
  const uint8_t signature[4] = {'P', 'K', 5, 6};
  for (int64_t at = (int64_t)tail.size() - 4; at >= 0; --at) {
    if (std::memcmp(&tail[(size_t)at], signature, 4) != 0) continue;
    if (at + END_RECORD_SIZE > (int64_t)tail.size()) return "its end-of-directory record is cut short";
    const uint32_t directory_size = Le32(&tail[(size_t)at + 12]);
    const uint32_t directory_offset = Le32(&tail[(size_t)at + 16]);
    const int64_t record_at = size - (int64_t)tail.size() + at;
    if (directory_offset == 0xFFFFFFFFu || directory_size == 0xFFFFFFFFu) return "";  // zip64: minizip's to judge
    if ((int64_t)directory_offset + directory_size > record_at) {
      return Printed("its central directory (%lld bytes at offset %lld) runs past the end record at offset %lld",
                     directory_size, directory_offset, record_at);
    }
    return "";
  }
  return "no zip end-of-directory record: cut short, or not a zip archive";
}

// What minizip makes of the directory: every member the end record counts must be there.
std::string DirectoryDamage(const char* path) {
  unzFile zip = unzOpen64(path);
  if (!zip) return "its directory cannot be read";
  unz_global_info64 info;
  std::string damage;
  if (unzGetGlobalInfo64(zip, &info) != UNZ_OK) {
    damage = "its end-of-directory record cannot be read";
  } else {
    uint64_t readable = 0;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK && readable < info.number_entry;
         status = unzGoToNextFile(zip)) {
      ++readable;
    }
    if (readable < info.number_entry) {
      damage = Printed("its central directory lists %lld members, but only %lld can be read from it",
                       (long long)info.number_entry, (long long)readable);
    }
  }
  unzClose(zip);
  return damage;
}

}  // namespace

std::string ArchiveDamage(const char* path) {
  struct stat file;
  if (stat(path, &file) != 0 || !S_ISREG(file.st_mode)) return "";
  if (file.st_size == 0) return "it is empty";
  std::string damage = EndRecordDamage(path, (int64_t)file.st_size);
  return damage.empty() ? DirectoryDamage(path) : damage;
}
