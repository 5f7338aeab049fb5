// kra-check's way in: a path on disk, checked by what it holds.
#pragma once

#include <string>

#include "check_report.h"

// Checks one file on disk by its content. A folder or a zip archive is checked as the
// demo's data (check_demo.h). Returns true when it found no problem.
bool CheckPath(CheckReport* report, const std::string& path);
