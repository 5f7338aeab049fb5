// The data archive: where LoadFile finds a data file by name. It looks on disk first (the
// plain name, then "data/" plus the name) and then in the open zip archive, whose member
// names match without regard to letter case.
#pragma once

#include <minizip/unzip.h>

#include <cstdint>
#include <vector>

#include "resource/archive_members.h"
#include "resource/mem_chunk.h"

// Where LoadFile and FileSize look (search_mode).
constexpr int32_t SEARCH_DISK_THEN_ARCHIVE = 0;  // the program's mode
constexpr int32_t SEARCH_ARCHIVE_ONLY = 1;
constexpr int32_t SEARCH_DISK_ONLY = 2;

// Archive members and disk files larger than this are refused: sizes in a zip directory are
// not to be trusted, and no data file of the demo comes near it.
constexpr int64_t MAX_DATA_FILE_SIZE = 256ll << 20;

// All the members of one archive together inflate to at most this much: a few times what
// the demo's data could ever be, so one archive cannot keep a loader inflating for long.
constexpr int64_t MAX_ARCHIVE_INFLATED = 512ll << 20;
// deflate cannot pack more than about 1032 bytes into one; a member claiming more is lying.
constexpr int64_t MAX_DEFLATE_RATIO = 1032;

struct DataArchive {
  unzFile zip;            // the open archive, or null
  int32_t search_mode;    // SEARCH_*; 0 unless a test changes it
  int32_t is_open;        // 1 once an OpenArchive succeeded; archive lookups need it
  char zip_path[256];     // the archive's file name, for messages (truncated to fit)
  int64_t file_size;      // of the archive file
  int64_t inflated;       // bytes its members have given out so far
  std::vector<ArchiveMember> members;  // sorted by directory_pos
  int32_t files_missed;   // LoadFile calls on this archive that gave nothing; kept by Close
};

// The program's one archive, opened on "autoexec.bat" by the entry (archive_location.h says
// which one).
extern DataArchive g_data_archive;

// Opens the zip at path. On success the handle it replaces (if any) is closed, is_open is
// set and 1 is returned; on failure nothing changes and 0 is returned.
int OpenArchive(DataArchive* archive, const char* path);

// Closes the handle and returns the archive to its state before any OpenArchive
// (search_mode is kept).
void CloseArchive(DataArchive* archive);

// Reads a file whole. A file that is not found or cannot be read whole gives a chunk of
// size 0 (with a line on stderr when an archive was searched or a read failed). Only
// regular files count on disk: a folder named like a data file is passed over. Archive
// members are refused when they are encrypted, when their data overlaps another member's,
// when their size claim cannot be true for the bytes they have, or once the archive has
// given out MAX_ARCHIVE_INFLATED bytes.
MemChunk LoadFile(DataArchive* archive, const char* path);
MemChunk LoadFile(const char* path);  // from g_data_archive, counting files_missed

// Size of the file LoadFile would read: the plain name on disk, else the archive's current
// member (the one the last member lookup selected). 0 when there is none.
int32_t FileSize(DataArchive* archive, const char* path);
