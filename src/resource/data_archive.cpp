#include "resource/data_archive.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/load_problems.h"
#include "platform/printable_text.h"
#include "resource/archive_members.h"
#include "resource/file_reads.h"
#include "resource/png_reuse.h"

DataArchive g_data_archive;

// Only regular files are data files: a folder or a device named like one is not.
static bool IsRegularFile(const char* path, int64_t* size) {
  struct stat info;
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (size) *size = (int64_t)info.st_size;
  return true;
}

int OpenArchive(DataArchive* archive, const char* path) {
  int64_t file_size = 0;
  if (!IsRegularFile(path, &file_size)) return 0;
  unzFile zip = unzOpen64(path);
  if (!zip) return 0;
  if (archive->zip) unzClose(archive->zip);
  ForgetDecodes();  // each opening starts with no decode kept
  archive->zip = zip;
  archive->is_open = 1;
  archive->file_size = file_size;
  archive->inflated = 0;
  CopyNameField(archive->zip_path, sizeof archive->zip_path, path);
  ScanArchiveMembers(archive->zip, &archive->members);
  return 1;
}

void CloseArchive(DataArchive* archive) {
  ForgetDecodes();
  if (archive->zip) unzClose(archive->zip);
  archive->zip = nullptr;
  archive->is_open = 0;
  archive->zip_path[0] = '\0';
  archive->file_size = 0;
  archive->inflated = 0;
  archive->members.clear();
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
    const char* why = size < 0 ? "its size is unknown" : "larger than 256 MiB";
    std::fprintf(stderr, "\nFile %s cannot be read: %s\n", PrintableText(disk_path).c_str(), why);
    NoteLoadProblem(chunk->name, std::string("cannot be read: ") + why);
    return;
  }
  if (size == 0) return NoteLoadProblem(chunk->name, "empty");
  uint8_t* data = new uint8_t[(size_t)size];
  if (std::fread(data, 1, (size_t)size, file) != (size_t)size) {
    std::fprintf(stderr, "\nFile %s cannot be read whole!\n", PrintableText(disk_path).c_str());
    NoteLoadProblem(chunk->name, "cannot be read whole");
    delete[] data;
    return;
  }
  chunk->data = data;
  chunk->size = (int32_t)size;
}

static FILE* OpenRegularFile(const std::string& path) {
  return IsRegularFile(path.c_str(), nullptr) ? std::fopen(path.c_str(), "rb") : nullptr;
}

// Disk lookup: the plain name, then "data/" plus the name. Returns whether a file was
// found (even one that could not be read), so the archive is only asked for missing files.
static bool LoadFromDisk(const char* path, MemChunk* chunk) {
  std::string disk_path = path;
  FILE* file = OpenRegularFile(disk_path);
  if (!file) {
    disk_path = std::string("data/") + path;
    file = OpenRegularFile(disk_path);
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
  std::fprintf(stderr, "\nFile %s in archive %s cannot be read: %s\n", PrintableText(member).c_str(),
               PrintableText(archive.zip_path).c_str(), why);
  // The archive is what is damaged (or was cut while being written): it is the file to name.
  NoteLoadProblem(archive.zip_path, std::string(member) + " cannot be read from it: " + why);
}

// Why the current member, claiming size bytes, is not to be read; null when it may be.
// Everything here is settled from the directory and the member table, before a byte is
// allocated or inflated.
static const char* MemberRefusal(const DataArchive& archive, int64_t size) {
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(archive.zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return "no member information";
  }
  if (info.flag & 1) return "it is encrypted, and the demo cannot decrypt it";
  const ArchiveMember* member = CurrentArchiveMember(archive.zip, archive.members);
  if (!member || member->data_start < 0) return "its data cannot be found in the archive";
  if (member->overlaps) return "its data overlaps another member's (a zip bomb?)";
  const int64_t packed = member->compressed_size;
  if (member->data_start > archive.file_size || packed > archive.file_size - member->data_start) {
    return "its data runs past the end of the archive";
  }
  if (info.compression_method == 0 && packed != size) return "stored, but its two sizes differ";
  if (info.compression_method == Z_DEFLATED && size > (packed + 1) * MAX_DEFLATE_RATIO) {
    return "it claims more bytes than deflate can pack into its data";
  }
  if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
    return "compressed with a method other than deflate";
  }
  if (size > MAX_ARCHIVE_INFLATED - archive.inflated) return "the archive has given out all it may (512 MiB)";
  return nullptr;
}

// Reads the current member whole. The directory's size is only a claim: the read must give
// exactly that many bytes and the member's CRC must check out at the end, otherwise the
// chunk stays empty.
static void ReadCurrentMember(DataArchive* archive, const char* member, MemChunk* chunk) {
  int64_t size = CurrentMemberSize(*archive);
  if (size < 0) return PrintMemberError(*archive, member, "no member information");
  if (size > MAX_DATA_FILE_SIZE) return PrintMemberError(*archive, member, "larger than 256 MiB");
  if (size == 0) return NoteLoadProblem(member, std::string("empty in archive ") + archive->zip_path);
  if (const char* why = MemberRefusal(*archive, size)) return PrintMemberError(*archive, member, why);
  archive->inflated += size;
  if (unzOpenCurrentFile(archive->zip) != UNZ_OK) {
    return PrintMemberError(*archive, member, "cannot open the member");
  }
  uint8_t* data = new uint8_t[(size_t)size];
  int64_t total = 0;
  int result = 1;
  while (total < size && result > 0) {
    unsigned step = (unsigned)(size - total < (1 << 30) ? size - total : (1 << 30));
    result = unzReadCurrentFile(archive->zip, data + total, step);
    if (result > 0) total += result;
  }
  int close_result = unzCloseCurrentFile(archive->zip);
  const char* why = nullptr;
  if (result < 0) why = "corrupt compressed data";
  else if (total != size) why = "shorter than the archive directory says";
  else if (close_result == UNZ_CRCERROR) why = "CRC error";
  else if (close_result != UNZ_OK) why = "cannot close the member";
  if (why) {
    delete[] data;
    return PrintMemberError(*archive, member, why);
  }
  chunk->data = data;
  chunk->size = (int32_t)size;
}

MemChunk LoadFile(DataArchive* archive, const char* path) {
  MemChunk chunk = {};
  CopyNameField(chunk.name, sizeof chunk.name, path);
  NoteFileRead(path);

  if (SearchesDisk(*archive) && LoadFromDisk(path, &chunk)) return chunk;
  if (archive->search_mode == SEARCH_DISK_ONLY) return chunk;
  if (!archive->is_open || !archive->zip) return chunk;

  if (unzLocateFile(archive->zip, path, 2) != UNZ_OK) {
    std::fprintf(stderr, "\nFile %s not found!\n", PrintableText(path).c_str());
    NoteLoadProblem(path, std::string("not found on disk or in ") + archive->zip_path);
    return chunk;
  }
  ReadCurrentMember(archive, path, &chunk);
  return chunk;
}

MemChunk LoadFile(const char* path) {
  const int64_t noted = LoadProblemsNoted();
  MemChunk chunk = LoadFile(&g_data_archive, path);
  if (chunk.size > 0) return chunk;
  ++g_data_archive.files_missed;
  // Without an archive a missing file says nothing on the console (the start-up has said
  // where it looked), but it is still a problem of the load.
  if (LoadProblemsNoted() == noted) NoteLoadProblem(path, "not found");
  return chunk;
}

int32_t FileSize(DataArchive* archive, const char* path) {
  if (SearchesDisk(*archive)) {
    int64_t size = 0;
    if (IsRegularFile(path, &size)) return size > INT32_MAX ? INT32_MAX : (int32_t)size;
    if (archive->search_mode == SEARCH_DISK_ONLY) return 0;
  }
  int64_t size = CurrentMemberSize(*archive);
  return size < 0 ? 0 : size > INT32_MAX ? INT32_MAX : (int32_t)size;
}
