// The zip data archive: the input becomes the archive file, and every member it lists is
// read through LoadFile, as the demo reads its data.
#include <minizip/unzip.h>

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "resource/data_archive.h"

namespace {

// Enough to meet every member of a small archive; a directory of thousands repeats itself.
constexpr int kMembersRead = 64;

std::vector<std::string> MemberNames(unzFile zip) {
  std::vector<std::string> names;
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK && (int)names.size() < kMembersRead;
       status = unzGoToNextFile(zip)) {
    char name[256];
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    names.push_back(name);
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/fuzz.zip";
  if (!WriteFile(path, data, size)) return 0;
  DataArchive archive = {};
  archive.search_mode = SEARCH_ARCHIVE_ONLY;
  if (!OpenArchive(&archive, path.c_str())) return 0;
  for (const std::string& name : MemberNames(archive.zip)) {
    RunLoader([&] {
      MemChunk chunk = LoadFile(&archive, name.c_str());
      FreeChunk(&chunk);
    });
  }
  CloseArchive(&archive);
  return 0;
}
