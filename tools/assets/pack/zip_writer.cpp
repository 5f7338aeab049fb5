#include "pack/zip_writer.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace assets {

namespace {

// The date every member carries: the archive is a build product, not a record of when it
// was built, and a fixed date keeps rebuilds identical.
constexpr int MEMBER_YEAR = 2002, MEMBER_MONTH_FROM_ZERO = 5, MEMBER_DAY = 1, MEMBER_HOUR = 12;
constexpr uLong NO_ATTRIBUTES = 0;

const char* const STORED_EXTENSIONS[] = {".png", ".mp3"};

zip_fileinfo FixedFileInfo() {
  zip_fileinfo info = {};
  info.tmz_date.tm_year = MEMBER_YEAR;
  info.tmz_date.tm_mon = MEMBER_MONTH_FROM_ZERO;
  info.tmz_date.tm_mday = MEMBER_DAY;
  info.tmz_date.tm_hour = MEMBER_HOUR;
  info.dosDate = 0;  // 0: minizip takes the date from tmz_date
  info.internal_fa = NO_ATTRIBUTES;
  info.external_fa = NO_ATTRIBUTES;
  return info;
}

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

bool AddMember(zipFile zip, const ArchiveMember& member) {
  zip_fileinfo info = FixedFileInfo();
  bool stored = IsStoredFormat(member.name);
  int method = stored ? 0 : Z_DEFLATED;
  int level = stored ? Z_NO_COMPRESSION : Z_BEST_COMPRESSION;
  if (zipOpenNewFileInZip(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method, level) != ZIP_OK) {
    return false;
  }
  bool written = member.bytes.empty() ||
                 zipWriteInFileInZip(zip, member.bytes.data(), unsigned(member.bytes.size())) == ZIP_OK;
  return zipCloseFileInZip(zip) == ZIP_OK && written;
}

}  // namespace

bool IsStoredFormat(const std::string& name) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  for (const char* ext : STORED_EXTENSIONS) {
    std::string e = ext;
    if (lower.size() >= e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0) return true;
  }
  return false;
}

bool WriteZipArchive(const std::string& path, const std::vector<ArchiveMember>& members, std::string* error) {
  std::string temporary = path + ".part";
  zipFile zip = zipOpen(temporary.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return Fail(error, "cannot create archive " + temporary);
  for (const ArchiveMember& member : members) {
    if (!AddMember(zip, member)) {
      zipClose(zip, nullptr);
      std::remove(temporary.c_str());
      return Fail(error, "cannot write member " + member.name + " into archive " + temporary);
    }
  }
  if (zipClose(zip, nullptr) != ZIP_OK) {
    std::remove(temporary.c_str());
    return Fail(error, "cannot finish archive " + temporary);
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return Fail(error, "cannot move " + temporary + " to " + path);
  }
  return true;
}

}  // namespace assets
