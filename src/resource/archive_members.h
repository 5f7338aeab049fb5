// The member table of an open zip archive: where each member's compressed data lies, so
// that members sharing bytes (the trick of zip bombs that inflate one stream under many
// names) are known before anything is inflated.
#pragma once

#include "resource/data_archive.h"

// Walks the archive's directory and fills archive->members (sorted by directory position),
// marking every member whose data overlaps another's.
void ScanArchiveMembers(DataArchive* archive);

// The table entry of the member the last lookup selected, or null.
const ArchiveMember* CurrentArchiveMember(const DataArchive& archive);
