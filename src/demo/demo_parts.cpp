#include "demo/demo_parts.h"

#include "scene/scene_xml.h"

DemoParts g_parts;

namespace {

// A table row over one member of DemoParts and that part's own functions.
template <auto kMember, auto kLoad, auto kStep, auto kPaint, auto kRewind, auto kRelease>
constexpr DemoPart PartRow(DemoPartId id, const char* name) {
  return {id,
          name,
          [](DemoParts* parts) { kLoad(&(parts->*kMember)); },
          [](DemoParts* parts, float delta) { kStep(&(parts->*kMember), delta); },
          [](const DemoParts& parts, Texture* frame) { kPaint(parts.*kMember, frame); },
          [](DemoParts* parts) { kRewind(&(parts->*kMember)); },
          [](DemoParts* parts) { kRelease(&(parts->*kMember)); }};
}

// In timeline order, so row i is part id i + 1.
constexpr DemoPart kDemoParts[] = {
    PartRow<&DemoParts::intro, LoadIntro, StepIntro, PaintIntro, RewindIntro, ReleaseIntro>(DemoPartId::kIntro,
                                                                                             "intro"),
    PartRow<&DemoParts::mamma, LoadMammaScene, StepMammaScene, PaintMammaScene, RewindMammaScene,
            ReleaseMammaScene>(DemoPartId::kMamma1, "mamma1"),
    PartRow<&DemoParts::swim, LoadSwimScene, StepSwimScene, PaintSwimScene, RewindSwimScene, ReleaseSwimScene>(
        DemoPartId::kSwim, "swim"),
    PartRow<&DemoParts::swam, LoadSwamScene, StepSwamScene, PaintSwamScene, RewindSwamScene, ReleaseSwamScene>(
        DemoPartId::kSwam, "swam"),
};

// Loaders run in this order: intro, "swim", "mamma1", "swam".
constexpr DemoPartId kLoadOrder[] = {DemoPartId::kIntro, DemoPartId::kSwim, DemoPartId::kMamma1, DemoPartId::kSwam};

const DemoPart* FindPart(DemoPartId id) {
  for (const DemoPart& part : kDemoParts) {
    if (part.id == id) return &part;
  }
  return nullptr;
}

}  // namespace

void LoadDemoParts(DemoParts* parts) {
  for (DemoPartId id : kLoadOrder) FindPart(id)->load(parts);
}

void StepDemoPart(DemoParts* parts, DemoPartId id, float delta) {
  if (const DemoPart* part = FindPart(id)) part->step(parts, delta);
}

void PaintDemoPart(const DemoParts& parts, DemoPartId id, Texture* frame) {
  if (const DemoPart* part = FindPart(id)) part->paint(parts, frame);
}

void RewindDemoParts(DemoParts* parts) {
  for (const DemoPart& part : kDemoParts) part.rewind(parts);
}

const char* DemoPartName(DemoPartId id) {
  const DemoPart* part = FindPart(id);
  return part ? part->name : "";
}

void ReleaseDemoParts(DemoParts* parts) {
  for (const DemoPart& part : kDemoParts) part.release(parts);
  ResetSceneXmlState();
}
