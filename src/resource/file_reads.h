// The names of the data files asked for since the log was last cleared, so a watch can
// follow exactly the files a load read (on disk, in data/ or in the archive).
#pragma once

#include <string>
#include <vector>

// Called by LoadFile for every name it is asked for, found or not (a file that appears
// later on disk is a change too).
void NoteFileRead(const char* name);

void ClearFilesRead();

// Each name once, in the order first asked for.
const std::vector<std::string>& FilesRead();
