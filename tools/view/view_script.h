// A scene script loaded for kra-view: the engine's loader builds the scene, and what it
// reports comes out with the script's name and line, as kra-check says it.
#pragma once

#include <string>

#include "check_report.h"
#include "resource/mem_chunk.h"
#include "view_content.h"

// Loads the script (consuming the chunk) into a new content->scene, set up as the demo's
// scene parts set theirs up, and records the start poses and the loop. Problems that leave a
// scene standing (syntax errors, keys out of order) are reported and the scene is kept, as
// the demo keeps it; a fatal one is reported and false returned.
bool BuildScriptScene(CheckReport* report, const std::string& file, MemChunk chunk, ViewContent* content);
