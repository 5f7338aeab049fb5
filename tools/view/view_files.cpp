#include "view_files.h"

#include <sys/stat.h>

#include <exception>
#include <vector>

#include "resource/data_archive.h"
#include "resource/png_texture.h"

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

MemChunk ReadDataFile(const std::string& path, std::string* why) {
  MemChunk chunk{};
  std::exception_ptr failure;
  CaptureConsole([&] { chunk = LoadFile(path.c_str()); }, &failure);
  if (chunk.size > 0) return chunk;
  FreeChunk(&chunk);
  struct stat info;
  if (stat(path.c_str(), &info) != 0) *why = "not found";
  else if (S_ISDIR(info.st_mode)) *why = "is a folder";
  else *why = info.st_size == 0 ? "empty file" : "cannot be read";
  return chunk;
}

bool DecodeImage(CheckReport* report, const std::string& path, MemChunk chunk, Texture* image) {
  std::exception_ptr failure;
  std::vector<std::string> lines = CaptureConsole([&] { *image = DecodePng(chunk); }, &failure);
  if (image->pixels) return true;
  ReportConsoleLines(report, path, lines);
  if (lines.empty()) ReportProblem(report, path, 0, "", "PNG does not decode");
  return false;
}

bool ReadImage(CheckReport* report, const std::string& path, Texture* image) {
  std::string why;
  MemChunk chunk = ReadDataFile(path, &why);
  if (chunk.size == 0) {
    ReportProblem(report, path, 0, "", why);
    return false;
  }
  return DecodeImage(report, path, chunk, image);
}

