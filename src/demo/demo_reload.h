// Reloading while the demo plays: every part's images, scripts, meshes and textures read
// again from disk or the archive, for content makers who keep the demo running beside their
// editor. The music is not read again.
#pragma once

// Reopens "autoexec.bat" and runs every part's loader again. The parts that played before
// are kept aside until the new ones have loaded: a fatal data error or a file that the last
// load found and this one does not leaves them in place, with the reason on stderr and in
// the window's title. true when the new data took over (the caller then seeks to where it
// was: the parts start from their loaded state).
bool ReloadDemo();

// How many data files the last successful load did not find; a reload that misses more has
// failed. StartDemo records it.
void SetReloadBaseline(int files_missed);
