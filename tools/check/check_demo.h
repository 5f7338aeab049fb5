// The demo's data as the demo finds it: every file the demo parts name, looked up on disk
// (the working directory, then data/) and in the archive "autoexec.bat", loaded with the
// engine's loaders and held against what each part needs.
#pragma once

#include <string>

#include "check_report.h"

enum class DemoSource {
  HERE,    // the working directory as kra sees it: its files, data/, and its autoexec.bat or,
           // when it has none, the one installed with the programs; says which on report->out
  FOLDER,  // a folder the demo would run in: its files, data/ and its autoexec.bat
  ZIP,     // a data archive on its own: only its members
};

// Checks the demo's data in where ("" or "." for the working directory). True when all
// is well.
bool CheckDemoData(CheckReport* report, const std::string& where, DemoSource source);
