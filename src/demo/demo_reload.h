// Reloading while the demo plays: every part's images, scripts, meshes and textures read
// again from disk or the archive, for content makers who keep the demo running beside their
// editor. The music is not read again.
#pragma once

#include <string>

// Reopens "autoexec.bat" and runs every part's loader again into a fresh record, with every
// problem a loader notes collected (load_problems.h). Only a load that noted none takes
// over: otherwise the parts that played before stay in place, the first problem is said on
// stderr and kept for the player's title (LastReloadFailure) and false is returned. A damaged
// archive is that first problem, named by its path. Message boxes stay shut meanwhile: the
// title says it. true when the new data
// took over; the caller then puts the demo back at the second it was at, as the parts start
// from their loaded state.
bool ReloadDemo();

// Why the last ReloadDemo failed, "FILE: reason" as the title says it after "reload failed: ";
// "" after one that succeeded.
const std::string& LastReloadFailure();
