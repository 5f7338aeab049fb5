// The demo parts on the timeline, in one table: each row has the part's id and name and what
// it does: load (once before the first frame, and again on a reload), step (everything a
// frame changes: clocks, waves, motion, morphs, flags), paint (draws what the step left,
// changing nothing), rewind (back to the state right after loading) and release.
//
// The parts' states are one record, so a reload can load into a fresh record and swap it
// with the live one.
#pragma once

#include <cstdint>

#include "demo/intro.h"
#include "demo/mamma_scene.h"
#include "demo/swam_scene.h"
#include "demo/swim_scene.h"
#include "demo/timeline.h"
#include "resource/texture.h"

struct DemoParts {
  IntroState intro;
  MammaState mamma;
  SwimState swim;
  SwamState swam;
};

// The parts that play.
extern DemoParts g_parts;

struct DemoPart {
  DemoPartId id;
  const char* name;  // as the timeline knows it: "intro", "mamma1", "swim", "swam"
  void (*load)(DemoParts* parts);
  void (*step)(DemoParts* parts, float delta);
  void (*paint)(const DemoParts& parts, Texture* frame);
  void (*rewind)(DemoParts* parts);
  void (*release)(DemoParts* parts);
};

// Runs every part's loader, in the order intro, "swim", "mamma1", "swam".
void LoadDemoParts(DemoParts* parts);

// One frame of the given part's state; kNone does nothing.
void StepDemoPart(DemoParts* parts, DemoPartId part, float delta);
// Draws the given part as its last step left it; kNone draws nothing.
void PaintDemoPart(const DemoParts& parts, DemoPartId part, Texture* frame);

// Puts every part back in its state right after loading (clocks, waves, scenes), reading
// no file.
void RewindDemoParts(DemoParts* parts);

// The part's name as the timeline knows it; "" for none.
const char* DemoPartName(DemoPartId part);

// Frees every part's images and scene. A process ends right after the demo, but tests and
// kra-capture run it in-process and may run it again.
void ReleaseDemoParts(DemoParts* parts);
