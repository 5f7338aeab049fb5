// Loading what kra-view shows: an LWO2 object in a scene of its own, or a script's scene,
// with the mesh texture and the background the options name.
#pragma once

#include "view_content.h"
#include "view_options.h"

enum class ViewLoad {
  OK,
  BAD_FILE,     // a file that does not load
  BAD_OPTIONS,  // options that do not fit the file (placing a script)
};

// Loads options.file and the images the options name into a renderer that InitRenderer has
// set up. On failure says why on stderr (naming the file, and the line or offset where
// there is one) and frees what it loaded.
ViewLoad LoadViewContent(const ViewOptions& options, ViewContent* content);
