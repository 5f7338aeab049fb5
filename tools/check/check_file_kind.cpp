#include "check_file_kind.h"

#include <filesystem>

#include "platform/file_path.h"
#include "resource/archive_location.h"
#include "resource/data_archive.h"

std::string WhyNotADataFile(const std::string& path) {
  const std::string what = WhatIsAt(path);
  if (what == "missing" || what == "a directory" || what == "a dangling link" || what == "empty") return what;
  if (!what.empty() && what != "not readable") return "not a regular file (" + what + ")";
  std::error_code error;
  const auto size = std::filesystem::file_size(PathFromUtf8(path), error);
  if (!error && size > static_cast<uintmax_t>(MAX_DATA_FILE_SIZE)) return "too large (over 256 MiB)";
  return what;
}

std::string WhyDemoFileNotRead(const std::string& name) {
  for (const std::string& path : {name, "data/" + name}) {
    const std::string why = WhyNotADataFile(path);
    if (why == "missing") continue;
    if (why.empty()) return path + " cannot be read";
    return path == name ? why : path + " is " + why;
  }
  return "missing";
}
