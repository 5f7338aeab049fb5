#include "demo/demo_parts.h"

#include <iterator>

#include "demo/backdrop.h"
#include "scene/scene_xml.h"

DemoParts g_parts;

namespace {

// A table row over one member of DemoParts and that part's own functions.
template <auto kMember, auto kLoad, auto kStep, auto kPaint, auto kRewind, auto kRelease, auto kBackdrop>
constexpr DemoPart PartRow(DemoPartId id) {
  return {id,
          [](DemoParts* parts) { kLoad(&(parts->*kMember)); },
          [](DemoParts* parts, float delta) { kStep(&(parts->*kMember), delta); },
          [](const DemoParts& parts, Texture* frame) { kPaint(parts.*kMember, frame); },
          [](DemoParts* parts) { kRewind(&(parts->*kMember)); },
          [](DemoParts* parts) { kRelease(&(parts->*kMember)); },
          // A backdrop that depends on the frame's size (swam's end card) is asked with it.
          [](const DemoParts& parts, int32_t width, int32_t height) -> const Texture& {
            if constexpr (requires { kBackdrop(parts.*kMember, width, height); }) {
              return kBackdrop(parts.*kMember, width, height);
            } else {
              return kBackdrop(parts.*kMember);
            }
          }};
}

// In timeline order.
constexpr DemoPart kDemoParts[] = {
    PartRow<&DemoParts::intro, LoadIntro, StepIntro, PaintIntro, RewindIntro, ReleaseIntro, IntroBackdrop>(
        DemoPartId::kIntro),
    PartRow<&DemoParts::mamma, LoadMammaScene, StepMammaScene, PaintMammaScene, RewindMammaScene,
            ReleaseMammaScene, MammaBackdrop>(DemoPartId::kMamma1),
    PartRow<&DemoParts::swim, LoadSwimScene, StepSwimScene, PaintSwimScene, RewindSwimScene, ReleaseSwimScene,
            SwimBackdrop>(DemoPartId::kSwim),
    PartRow<&DemoParts::swam, LoadSwamScene, StepSwamScene, PaintSwamScene, RewindSwamScene, ReleaseSwamScene,
            SwamBackdrop>(DemoPartId::kSwam),
};

// Loaders run in this order: intro, "swim", "mamma1", "swam".
constexpr DemoPartId kLoadOrder[] = {DemoPartId::kIntro, DemoPartId::kSwim, DemoPartId::kMamma1, DemoPartId::kSwam};
static_assert(std::size(kLoadOrder) == kDemoPartLoaders);

const DemoPart* FindPart(DemoPartId id) {
  for (const DemoPart& part : kDemoParts) {
    if (part.id == id) return &part;
  }
  return nullptr;
}

}  // namespace

void LoadDemoParts(DemoParts* parts) {
  for (int order = 0; order < kDemoPartLoaders; ++order) LoadDemoPart(parts, order);
}

void LoadDemoPart(DemoParts* parts, int order) {
  if (order >= 0 && order < kDemoPartLoaders) FindPart(kLoadOrder[order])->load(parts);
}

void StepDemoPart(DemoParts* parts, DemoPartId id, float delta) {
  if (const DemoPart* part = FindPart(id)) part->step(parts, delta);
}

void PaintDemoPart(const DemoParts& parts, DemoPartId id, Texture* frame) {
  if (const DemoPart* part = FindPart(id)) part->paint(parts, frame);
}

bool PartCoversFrame(const DemoParts& parts, DemoPartId id, int32_t width, int32_t height) {
  const DemoPart* part = FindPart(id);
  if (!part) return false;
  return ImageCoversFrame(part->backdrop(parts, width, height), width, height);
}

void RewindDemoParts(DemoParts* parts) {
  for (const DemoPart& part : kDemoParts) part.rewind(parts);
}

void ReleaseDemoParts(DemoParts* parts) {
  for (const DemoPart& part : kDemoParts) part.release(parts);
  ResetSceneXmlState();
}
