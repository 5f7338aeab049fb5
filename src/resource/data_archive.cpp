#include "resource/data_archive.h"

#include <cstdio>
#include <cstring>
#include <string>

DataArchive g_data_archive;

int OpenArchive(DataArchive* archive, const char* path) {
  unzFile zip = unzOpen64(path);
  if (!zip) return 0;
  if (archive->zip) unzClose(archive->zip);
  archive->zip = zip;
  archive->is_open = 1;
  CopyNameField(archive->zip_path, sizeof archive->zip_path, path);
  return 1;
}

void CloseArchive(DataArchive* archive) {
  if (archive->zip) unzClose(archive->zip);
  archive->zip = nullptr;
  archive->is_open = 0;
  archive->zip_path[0] = '\0';
}

static bool SearchesDisk(const DataArchive& archive) {
  return archive.search_mode == SEARCH_DISK_THEN_ARCHIVE || archive.search_mode == SEARCH_DISK_ONLY;
}

// Size of an open file, or -1 when it cannot be told (a directory, a pipe).
static int64_t OpenFileSize(FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  long end = std::ftell(file);
  if (end < 0 || std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return end;
}

// Reads an open disk file whole into chunk. A file that cannot be read whole leaves the
// chunk empty with a console line, so a failed read is never taken for data.
static void ReadDiskFile(FILE* file, const char* disk_path, MemChunk* chunk) {
  int64_t size = OpenFileSize(file);
  if (size < 0 || size > MAX_DATA_FILE_SIZE) {
    std::printf("\nFile %s cannot be read: %s\n", disk_path,
                size < 0 ? "its size is unknown" : "larger than 256 MiB");
    return;
  }
  if (size == 0) return;
  uint8_t* data = new uint8_t[(size_t)size];
  if (std::fread(data, 1, (size_t)size, file) != (size_t)size) {
    std::printf("\nFile %s cannot be read whole!\n", disk_path);
    delete[] data;
    return;
  }
  chunk->data = data;
  chunk->size = (int32_t)size;
}

// Disk lookup: the plain name, then "data/" plus the name. Returns whether a file was
// found (even one that could not be read), so the archive is only asked for missing files.
static bool LoadFromDisk(const char* path, MemChunk* chunk) {
  std::string disk_path = path;
  FILE* file = std::fopen(disk_path.c_str(), "rb");
  if (!file) {
    disk_path = std::string("data/") + path;
    file = std::fopen(disk_path.c_str(), "rb");
  }
  if (!file) return false;
  ReadDiskFile(file, disk_path.c_str(), chunk);
  std::fclose(file);
  return true;
}

// Uncompressed size of the current member as the zip directory claims it, or -1.
static int64_t CurrentMemberSize(const DataArchive& archive) {
  if (!archive.zip) return -1;
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(archive.zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return -1;
  }
  return (int64_t)info.uncompressed_size;
}

static void PrintMemberError(const DataArchive& archive, const char* member, const char* why) {
  std::printf("\nFile %s in archive %s cannot be read: %s\n", member, archive.zip_path, why);
}

// Reads the current member whole. The directory's size is only a claim: the read must give
// exactly that many bytes and the member's CRC must check out at the end, otherwise the
// chunk stays empty.
static void ReadCurrentMember(const DataArchive& archive, const char* member, MemChunk* chunk) {
  int64_t size = CurrentMemberSize(archive);
  if (size < 0) return PrintMemberError(archive, member, "no member information");
  if (size > MAX_DATA_FILE_SIZE) return PrintMemberError(archive, member, "larger than 256 MiB");
  if (size == 0) return;
  if (unzOpenCurrentFile(archive.zip) != UNZ_OK) {
    return PrintMemberError(archive, member, "cannot open the member");
  }
  uint8_t* data = new uint8_t[(size_t)size];
  int64_t total = 0;
  int result = 1;
  while (total < size && result > 0) {
    unsigned step = (unsigned)(size - total < (1 << 30) ? size - total : (1 << 30));
    result = unzReadCurrentFile(archive.zip, data + total, step);
    if (result > 0) total += result;
  }
  int close_result = unzCloseCurrentFile(archive.zip);
  const char* why = nullptr;
  if (result < 0) why = "corrupt compressed data";
  else if (total != size) why = "shorter than the archive directory says";
  else if (close_result == UNZ_CRCERROR) why = "CRC error";
  else if (close_result != UNZ_OK) why = "cannot close the member";
  if (why) {
    delete[] data;
    return PrintMemberError(archive, member, why);
  }
  chunk->data = data;
  chunk->size = (int32_t)size;
}

MemChunk LoadFile(DataArchive* archive, const char* path) {
  MemChunk chunk = {};
  CopyNameField(chunk.name, sizeof chunk.name, path);

  if (SearchesDisk(*archive) && LoadFromDisk(path, &chunk)) return chunk;
  if (archive->search_mode == SEARCH_DISK_ONLY) return chunk;
  if (!archive->is_open || !archive->zip) return chunk;

  if (unzLocateFile(archive->zip, path, 2) != UNZ_OK) {
    std::printf("\nFile %s not found!\n", path);
    return chunk;
  }
  ReadCurrentMember(*archive, path, &chunk);
  return chunk;
}

MemChunk LoadFile(const char* path) { return LoadFile(&g_data_archive, path); }

int32_t FileSize(DataArchive* archive, const char* path) {
  if (SearchesDisk(*archive)) {
    if (FILE* file = std::fopen(path, "rb")) {
      int64_t size = OpenFileSize(file);
      std::fclose(file);
      return size < 0 ? 0 : size > INT32_MAX ? INT32_MAX : (int32_t)size;
    }
    if (archive->search_mode == SEARCH_DISK_ONLY) return 0;
  }
  int64_t size = CurrentMemberSize(*archive);
  return size < 0 ? 0 : size > INT32_MAX ? INT32_MAX : (int32_t)size;
}
