#include "resource/archive_location.h"

#include <filesystem>

#include "platform/executable_dir.h"
#include "platform/file_path.h"

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

std::string OpenDemoArchive(DataArchive* archive) {
  const std::string path = FindDemoArchive(ExecutableDir());
  if (path.empty() || !OpenArchive(archive, path.c_str())) return "";
  return path;
}
