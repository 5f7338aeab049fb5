// Where the demo's data archive "autoexec.bat" is found.
//
// The working directory's autoexec.bat comes first, as it always has, so a content maker's
// own folder wins. When the working directory has none, the archive installed with the
// programs is taken: ../share/kra/autoexec.bat from the executable's folder (its bin/), or
// the one beside the programs on Windows, so an installed kra plays from any folder. Loose
// files in the working directory and its data/ are read before either archive all the same
// (LoadFile).
#pragma once

#include <string>

#include "resource/data_archive.h"

constexpr const char* DEMO_ARCHIVE_NAME = "autoexec.bat";
// From the executable's folder. A build whose programs ship beside their data (the Windows
// zip) sets KRA_INSTALLED_ARCHIVE to "autoexec.bat".
#ifndef KRA_INSTALLED_ARCHIVE
#define KRA_INSTALLED_ARCHIVE "../share/kra/autoexec.bat"
#endif
constexpr const char* INSTALLED_ARCHIVE = KRA_INSTALLED_ARCHIVE;

// The installed archive's path for an executable in executable_dir (which ends in '/'),
// without "bin/.."; "" when executable_dir is "". Whether it exists is not asked.
std::string InstalledArchivePath(const std::string& executable_dir);

// The archive to open: "autoexec.bat" when the working directory has an entry of that name
// (even one that will not open: a broken archive of a content maker is not replaced behind
// their back), else the installed archive when it is a file, else "" (disk files only).
std::string FindDemoArchive(const std::string& executable_dir);

// Opens FindDemoArchive(ExecutableDir()) into archive. Returns its path, or "" when no
// archive opened (the archive is then left as it was).
std::string OpenDemoArchive(DataArchive* archive);
