// What is wrong with a damaged zip archive, in words a user can act on.
//
// minizip only says whether an archive opens, and one whose directory is partly unreadable
// opens anyway and then finds none of the members past the damage. ArchiveDamage looks at
// the end record and the central directory itself, so the demo can say once why its archive
// is no use instead of a "not found" line per file.
#pragma once

#include <string>

// Why the zip archive at path cannot be used whole: it is too short or has no end record
// (cut short, or not a zip at all), its directory lies past the end record, or its
// directory lists members that cannot be read, or it is empty. "" when the archive is whole, and when no
// file is there (a missing archive is no damage).
std::string ArchiveDamage(const char* path);
