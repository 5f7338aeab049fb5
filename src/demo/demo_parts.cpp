#include "demo/demo_parts.h"

#include "demo/intro.h"
#include "demo/mamma_scene.h"
#include "demo/swam_scene.h"
#include "demo/swim_scene.h"
#include "scene/scene_xml.h"

namespace {

struct DemoPart {
  const char* name;
  void (*load)();
  void (*step)();
  void (*paint)();
  void (*rewind)();
};

// Indexed by part number; a part without functions leaves its frames cleared.
constexpr DemoPart kDemoParts[] = {
    {"", nullptr, nullptr, nullptr, nullptr},                                         // 0: none
    {"intro", LoadIntro, StepIntro, PaintIntro, RewindIntro},                          // 1: title cards
    {"mamma1", LoadMammaScene, StepMammaScene, PaintMammaScene, RewindMammaScene},     // 2
    {"swim", LoadSwimScene, StepSwimScene, PaintSwimScene, RewindSwimScene},           // 3
    {"swam", LoadSwamScene, StepSwamScene, PaintSwamScene, RewindSwamScene},           // 4, and the end card
};
constexpr int32_t kPartCount = sizeof(kDemoParts) / sizeof(kDemoParts[0]);

// Loaders run in this order: intro, "swim", "mamma1", "swam".
constexpr int32_t kLoadOrder[] = {1, 3, 2, 4};

const DemoPart* FindPart(int32_t part) { return part > 0 && part < kPartCount ? &kDemoParts[part] : nullptr; }

}  // namespace

void LoadDemoParts() {
  for (int32_t part : kLoadOrder) kDemoParts[part].load();
}

void StepDemoPart(int32_t part) {
  if (const DemoPart* p = FindPart(part)) p->step();
}

void PaintDemoPart(int32_t part) {
  if (const DemoPart* p = FindPart(part)) p->paint();
}

void DrawDemoPart(int32_t part) {
  StepDemoPart(part);
  PaintDemoPart(part);
}

void RewindDemoParts() {
  for (int32_t part = 1; part < kPartCount; ++part) kDemoParts[part].rewind();
}

const char* DemoPartName(int32_t part) {
  const DemoPart* p = FindPart(part);
  return p ? p->name : "";
}

void ReleaseDemoParts() {
  ReleaseIntro();
  ReleaseMammaScene();
  ReleaseSwimScene();
  ReleaseSwamScene();
  ResetSceneXmlState();
}
