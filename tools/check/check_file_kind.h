// Why a path on disk is no data file kra could read, in kra-check's words, so that a 2 GB
// texture, a folder or a pipe where a data file should be is not called missing.
#pragma once

#include <string>

// "missing", "a directory", "a dangling link", "not a regular file (a FIFO)" (a socket, a
// device), "too large (over 256 MiB)" or "empty"; "" for a regular file LoadFile reads.
std::string WhyNotADataFile(const std::string& path);

// Why LoadFile found nothing for a demo file named name: what stands at name or, when
// nothing does, at data/name ("data/texture.png is a directory"); "missing" when neither
// holds anything.
std::string WhyDemoFileNotRead(const std::string& name);
