#include "resource/archive_members.h"

#include <algorithm>

namespace {

// A directory of more entries than this is not the demo's; the rest are not looked at (and
// so cannot be read).
constexpr size_t MAX_ARCHIVE_MEMBERS = 1 << 16;

// Opening a member makes minizip read its local header, which tells where the data starts.
int64_t DataStart(unzFile zip) {
  if (unzOpenCurrentFile(zip) != UNZ_OK) return -1;
  int64_t start = (int64_t)unzGetCurrentFileZStreamPos64(zip);
  unzCloseCurrentFile(zip);
  return start;
}

void MarkOverlaps(std::vector<ArchiveMember>* members) {
  std::vector<ArchiveMember*> by_start;
  for (ArchiveMember& m : *members) {
    if (m.data_start >= 0 && m.compressed_size > 0) by_start.push_back(&m);
  }
  std::sort(by_start.begin(), by_start.end(),
            [](const ArchiveMember* a, const ArchiveMember* b) { return a->data_start < b->data_start; });
  ArchiveMember* reaching = nullptr;  // of the members so far, the one whose data ends last
  for (ArchiveMember* m : by_start) {
    if (reaching && m->data_start < reaching->data_start + reaching->compressed_size) {
      m->overlaps = 1;
      reaching->overlaps = 1;
    }
    if (!reaching || m->data_start + m->compressed_size > reaching->data_start + reaching->compressed_size) {
      reaching = m;
    }
  }
}

}  // namespace

void ScanArchiveMembers(unzFile zip, std::vector<ArchiveMember>* members) {
  members->clear();
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK && members->size() < MAX_ARCHIVE_MEMBERS;
       status = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    ArchiveMember member = {};
    member.directory_pos = unzGetOffset64(zip);
    member.compressed_size = (int64_t)std::min<uint64_t>(info.compressed_size, INT64_MAX / 2);
    member.data_start = DataStart(zip);
    members->push_back(member);
  }
  std::sort(members->begin(), members->end(),
            [](const ArchiveMember& a, const ArchiveMember& b) { return a.directory_pos < b.directory_pos; });
  MarkOverlaps(members);
  unzGoToFirstFile(zip);
}

const ArchiveMember* CurrentArchiveMember(unzFile zip, const std::vector<ArchiveMember>& members) {
  const uint64_t pos = unzGetOffset64(zip);
  auto it = std::lower_bound(members.begin(), members.end(), pos,
                             [](const ArchiveMember& m, uint64_t p) { return m.directory_pos < p; });
  if (it == members.end() || it->directory_pos != pos) return nullptr;
  return &*it;
}
