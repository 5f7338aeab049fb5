#include "demo/demo_parts.h"

#include "demo/intro.h"
#include "demo/mamma_scene.h"
#include "demo/swam_scene.h"
#include "demo/swim_scene.h"
#include "scene/scene_xml.h"

namespace {

struct DemoPart {
  void (*load)();
  void (*draw)();
};

// Indexed by part number; a part without a frame function leaves its frames cleared.
constexpr DemoPart kDemoParts[] = {
    {nullptr, nullptr},                // 0: none
    {LoadIntro, DrawIntro},            // 1: intro title cards
    {LoadMammaScene, DrawMammaScene},  // 2: scene "mamma1"
    {LoadSwimScene, DrawSwimScene},    // 3: scene "swim"
    {LoadSwamScene, DrawSwamScene},    // 4: scene "swam" and the end card
};
constexpr int32_t kPartCount = sizeof(kDemoParts) / sizeof(kDemoParts[0]);

// Loaders run in this order: intro, "swim", "mamma1", "swam".
constexpr int32_t kLoadOrder[] = {1, 3, 2, 4};

}  // namespace

void LoadDemoParts() {
  for (int32_t part : kLoadOrder) {
    if (kDemoParts[part].load) kDemoParts[part].load();
  }
}

void DrawDemoPart(int32_t part) {
  if (part <= 0 || part >= kPartCount || !kDemoParts[part].draw) return;
  kDemoParts[part].draw();
}

void ReleaseDemoParts() {
  ReleaseIntro();
  ReleaseMammaScene();
  ReleaseSwimScene();
  ReleaseSwamScene();
  ResetSceneXmlState();
}
