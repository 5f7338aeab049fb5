// The demo parts on the timeline: their loaders run once before the first frame, and the
// frame function of the current part runs once per frame.
#pragma once

#include <cstdint>

// Runs every part's loader, in the order intro, "swim", "mamma1", "swam".
void LoadDemoParts();

// Draws one frame of the given part; any part number without a part draws nothing.
void DrawDemoPart(int32_t part);

// Frees every part's images and scene. A process ends right after the demo, but tests and
// kra-capture run it in-process and may run it again.
void ReleaseDemoParts();
