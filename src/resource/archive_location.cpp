#include "resource/archive_location.h"

#include <cstdio>
#include <filesystem>

#include "platform/executable_dir.h"
#include "platform/file_path.h"
#include "platform/printable_text.h"

std::string InstalledArchivePath(const std::string& executable_dir) {
  if (executable_dir.empty()) return "";
  return Utf8FromPath((PathFromUtf8(executable_dir) / INSTALLED_ARCHIVE).lexically_normal());
}

std::string FindDemoArchive(const std::string& executable_dir) {
  std::error_code ignored;
  if (std::filesystem::exists(DEMO_ARCHIVE_NAME, ignored)) return DEMO_ARCHIVE_NAME;
  const std::string installed = InstalledArchivePath(executable_dir);
  if (!installed.empty() && std::filesystem::is_regular_file(PathFromUtf8(installed), ignored)) return installed;
  return "";
}

std::string WhatIsAt(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path at = PathFromUtf8(path);
  const fs::file_status entry = fs::symlink_status(at, error);
  if (error || entry.type() == fs::file_type::not_found) return "missing";
  const fs::file_status target = fs::status(at, error);
  if (fs::is_symlink(entry) && (error || target.type() == fs::file_type::not_found)) return "a dangling link";
  switch (target.type()) {
    case fs::file_type::regular: break;
    case fs::file_type::directory: return "a directory";
    case fs::file_type::fifo: return "a FIFO";
    case fs::file_type::socket: return "a socket";
    case fs::file_type::character:
    case fs::file_type::block: return "a device";
    default: return "not a regular file";
  }
  if (fs::file_size(at, error) == 0 && !error) return "empty";
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "not readable";
  std::fclose(file);
  return "";
}

namespace {

// " (what)" when something other than an archive stands where one was looked for: a usable
// file there did not open as one.
std::string ArchiveAside(const std::string& path) {
  std::string what = WhatIsAt(path);
  if (what.empty()) what = "not a zip archive that opens";
  return what == "missing" ? "" : " (" + what + ")";
}

// " (what)" when something other than a folder stands where data/ was looked for.
std::string FolderAside(const std::string& path) {
  std::string what = WhatIsAt(path);
  if (what.empty() || what == "empty") what = "a file, not a folder";
  return what == "missing" || what == "a directory" ? "" : " (" + what + ")";
}

}  // namespace

std::string DescribeDataSearch(const std::string& executable_dir) {
  std::error_code ignored;
  const std::string here = Utf8FromPath(std::filesystem::current_path(ignored));
  std::string text = "checked the files in " + PrintableText(here) + " and its data/" + FolderAside("data") +
                     ": no autoexec.bat there" + ArchiveAside(DEMO_ARCHIVE_NAME);
  const std::string installed = InstalledArchivePath(executable_dir);
  if (!installed.empty()) text += " or at " + PrintableText(installed) + ArchiveAside(installed);
  return text;
}

bool LooseDataFileThere(const char* name) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(PathFromUtf8(name), ignored) ||
         std::filesystem::is_regular_file(PathFromUtf8(std::string("data/") + name), ignored);
}

std::string OpenDemoArchive(DataArchive* archive) {
  const std::string path = FindDemoArchive(ExecutableDir());
  if (path.empty() || !OpenArchive(archive, path.c_str())) return "";
  return path;
}
