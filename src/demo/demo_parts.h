// The demo parts, in one table: each row has the part's id (its name and its time are the
// timeline's, timeline.h) and what it does: load (once before the first frame, and again on a reload), step (everything a
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
  void (*load)(DemoParts* parts);
  void (*step)(DemoParts* parts, float delta);
  void (*paint)(const DemoParts& parts, Texture* frame);
  void (*rewind)(DemoParts* parts);
  void (*release)(DemoParts* parts);
  // The image paint draws first, at (0, 0), into a frame of width by height.
  const Texture& (*backdrop)(const DemoParts& parts, int32_t width, int32_t height);
};

// Runs every part's loader, in the order intro, "swim", "mamma1", "swam".
void LoadDemoParts(DemoParts* parts);
// The same loaders one at a time (a start-up in pieces): the one at order (0 to
// kDemoPartLoaders - 1) in that order.
constexpr int kDemoPartLoaders = 4;
void LoadDemoPart(DemoParts* parts, int order);

// One frame of the given part's state; kNone does nothing.
void StepDemoPart(DemoParts* parts, DemoPartId part, float delta);
// Draws the given part as its last step left it; kNone draws nothing.
void PaintDemoPart(const DemoParts& parts, DemoPartId part, Texture* frame);

// True when the part's paint begins with an opaque image covering a frame of width by height:
// whatever the frame held before is then never seen, and the frame needs no clearing.
bool PartCoversFrame(const DemoParts& parts, DemoPartId part, int32_t width, int32_t height);

// Puts every part back in its state right after loading (clocks, waves, scenes), reading
// no file.
void RewindDemoParts(DemoParts* parts);

// Frees every part's images and scene. A process ends right after the demo, but tests and
// kra-capture run it in-process and may run it again.
void ReleaseDemoParts(DemoParts* parts);
