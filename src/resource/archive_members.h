// The member table of an open zip archive: where each member's compressed data lies, so
// that members sharing bytes (the trick of zip bombs that inflate one stream under many
// names) are known before anything is inflated.
#pragma once

#include <minizip/unzip.h>

#include <cstdint>
#include <vector>

// Where one member's compressed data lies in the archive file, learnt when it is opened.
struct ArchiveMember {
  uint64_t directory_pos;  // minizip's unzGetOffset64 of its directory entry: the lookup key
  int64_t data_start;      // file offset of its compressed data; -1 when it cannot be told
  int64_t compressed_size;
  int32_t overlaps;        // 1 when its data shares bytes with another member's
};


// Walks the archive's directory and fills members (sorted by directory position), marking
// every member whose data overlaps another's.
void ScanArchiveMembers(unzFile zip, std::vector<ArchiveMember>* members);

// The table entry of the member the zip's last lookup selected, or null.
const ArchiveMember* CurrentArchiveMember(unzFile zip, const std::vector<ArchiveMember>& members);
