#include "check_path.h"

#include <sys/stat.h>

#include <exception>

#include "check_demo.h"
#include "check_files.h"
#include "check_script.h"
#include "resource/data_archive.h"

bool CheckPath(CheckReport* report, const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    ReportProblem(report, path, 0, "", "not found");
    return false;
  }
  if (S_ISDIR(info.st_mode)) return CheckDemoData(report, path, DemoSource::FOLDER);

  report->files_checked++;
  MemChunk chunk{};
  std::exception_ptr failure;
  CaptureConsole([&] { chunk = LoadFile(path.c_str()); }, &failure);
  if (chunk.size == 0) {
    FreeChunk(&chunk);
    ReportProblem(report, path, 0, "", info.st_size == 0 ? "empty file" : "cannot be read");
    return false;
  }
  switch (KindOfData(chunk.data, chunk.size)) {
    case DataKind::IMAGE: return CheckImage(report, path, chunk, nullptr);
    case DataKind::OBJECT: return CheckObject(report, path, chunk);
    case DataKind::MOTION: return CheckMotion(report, path, chunk);
    case DataKind::SCRIPT: return CheckScriptFile(report, path, chunk);
    case DataKind::ZIP:
      FreeChunk(&chunk);
      report->files_checked--;
      return CheckDemoData(report, path, DemoSource::ZIP);
    case DataKind::OTHER: break;
  }
  return CheckMusic(report, path, chunk);
}
