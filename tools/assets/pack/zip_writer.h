// Packs files into a zip archive with minizip's writer. Every member gets the same fixed
// date and attributes and the members keep the order given, so the archive's bytes depend on
// nothing but the members' bytes. Already-compressed formats (PNG, MP3) are stored; the rest
// is deflated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct ArchiveMember {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Writes the archive to path (through a temporary file renamed into place, so a failed run
// never leaves a half archive that looks complete). Returns false with a message naming the
// path and the member on failure.
bool WriteZipArchive(const std::string& path, const std::vector<ArchiveMember>& members, std::string* error);

// True for names whose contents are already compressed and gain nothing from deflate.
bool IsStoredFormat(const std::string& name);

}  // namespace assets
