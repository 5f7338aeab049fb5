// The demo parts on the timeline: their loaders run once before the first frame; each frame
// the current part steps (its clocks, waves, motion, morphs: everything a frame changes)
// and then paints what the step left, so a seek can replay steps without drawing.
#pragma once

#include <cstdint>

// Runs every part's loader, in the order intro, "swim", "mamma1", "swam".
void LoadDemoParts();

// One frame of the given part's state; any part number without a part does nothing.
void StepDemoPart(int32_t part);
// Draws the given part as its last step left it; any other part number draws nothing.
void PaintDemoPart(int32_t part);
// One whole frame of the part: its step, then its paint.
void DrawDemoPart(int32_t part);

// Puts every part back in its state right after loading (clocks, waves, scenes), reading
// no file.
void RewindDemoParts();

// The part's name as the timeline knows it ("intro", "mamma1", "swim", "swam"); "" for none.
const char* DemoPartName(int32_t part);

// Frees every part's images and scene. A process ends right after the demo, but tests and
// kra-capture run it in-process and may run it again.
void ReleaseDemoParts();
