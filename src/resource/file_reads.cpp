#include "resource/file_reads.h"

#include <algorithm>

namespace {

std::vector<std::string> g_files_read;

}  // namespace

void NoteFileRead(const char* name) {
  if (std::find(g_files_read.begin(), g_files_read.end(), name) == g_files_read.end()) g_files_read.emplace_back(name);
}

void ClearFilesRead() { g_files_read.clear(); }

const std::vector<std::string>& FilesRead() { return g_files_read; }
