// The keys of a motion, wherever it came from (a motion file, an object or the camera of a
// script): finite numbers, rising in time, curve types the evaluation knows.
#pragma once

#include <string>

#include "check_report.h"

struct Motion;

// Reports each bad key of every channel against file, with owner ("camera", an object) when
// the motion belongs to one.
void CheckMotionKeys(CheckReport* report, const std::string& file, const std::string& owner, Motion* motion);
