// Checks of scene scripts: the script is loaded into a scene of its own with the engine's
// loader, every problem is reported with its line, and what a demo part needs of the
// scene is checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check_report.h"
#include "resource/mem_chunk.h"

// What a 3D demo part uses of its scene: the first meshes and objects of the lists, and
// which meshes (1 = the first) it morphs.
struct ScriptNeeds {
  const char* part;
  int32_t meshes;
  int32_t objects;
  std::vector<int32_t> morphed_meshes;
};

struct Scene;

// Loads the script into scene with the loader quiet and the console captured, and reports
// every problem the load met with its line. Consumes the chunk. False when the load ended
// early (a fatal data error or an ended process); what was built before stays in scene.
bool LoadScriptReported(CheckReport* report, const std::string& file, MemChunk chunk, Scene* scene);

// Loads the script (the files it names come from the data archive as the demo finds them)
// and reports its problems. Consumes the chunk. True when it found none.
bool CheckScript(CheckReport* report, const std::string& file, MemChunk chunk, const ScriptNeeds* needs);

// A script given on the command line: the files it names are looked up beside it.
bool CheckScriptFile(CheckReport* report, const std::string& path, MemChunk chunk);
