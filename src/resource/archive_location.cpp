#include "resource/archive_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/executable_dir.h"
#include "platform/printable_text.h"

std::string InstalledArchivePath(const std::string& executable_dir) {
  if (executable_dir.empty()) return "";
  return (std::filesystem::path(executable_dir) / INSTALLED_ARCHIVE).lexically_normal().string();
}

std::string FindDemoArchive(const std::string& executable_dir) {
  std::error_code ignored;
  if (std::filesystem::exists(DEMO_ARCHIVE_NAME, ignored)) return DEMO_ARCHIVE_NAME;
  const std::string installed = InstalledArchivePath(executable_dir);
  if (!installed.empty() && std::filesystem::is_regular_file(installed, ignored)) return installed;
  return "";
}

std::string WhatIsAt(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return "missing";
  if (S_ISLNK(info.st_mode) && stat(path.c_str(), &info) != 0) return "a dangling link";
  if (S_ISDIR(info.st_mode)) return "a directory";
  if (S_ISFIFO(info.st_mode)) return "a FIFO";
  if (S_ISSOCK(info.st_mode)) return "a socket";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "a device";
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  if (info.st_size == 0) return "empty";
  if (access(path.c_str(), R_OK) != 0) return "not readable";
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
  const std::string here = std::filesystem::current_path(ignored).string();
  std::string text = "checked the files in " + PrintableText(here) + " and its data/" + FolderAside("data") +
                     ": no autoexec.bat there" + ArchiveAside(DEMO_ARCHIVE_NAME);
  const std::string installed = InstalledArchivePath(executable_dir);
  if (!installed.empty()) text += " or at " + PrintableText(installed) + ArchiveAside(installed);
  return text;
}

bool LooseDataFileThere(const char* name) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(name, ignored) ||
         std::filesystem::is_regular_file(std::string("data/") + name, ignored);
}

std::string OpenDemoArchive(DataArchive* archive) {
  const std::string path = FindDemoArchive(ExecutableDir());
  if (path.empty() || !OpenArchive(archive, path.c_str())) return "";
  return path;
}
