#include "preview/frames.h"

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "draw/png_writer.h"
#include "images/paintings.h"
#include "images/theme.h"
#include "pack/content.h"
#include "preview/scene.h"

namespace assets {

namespace {

// Strip positions as the scene parts start them (front 26, middle 66, rear 120); a strip
// is drawn at column position - STRIP_SWING.
constexpr int FRONT_START = 26, MIDDLE_START = 66, REAR_START = 120;

struct BubbleAt {
  const Canvas* bubble;
  int x, y;
};

// The layers as a scene part draws them, the 3D scene (when there is one) between the rear
// strip and the middle one.
bool ComposeScene(const Canvas& background, const Canvas& rear, const Canvas& middle, const Canvas& front,
                  BubbleAt bubble, int swing, const ScenePose* pose, Canvas* frame, std::string* error) {
  *frame = background;
  DrawCanvas(*frame, rear, REAR_START - swing - STRIP_SWING, STRIP_ROW);
  if (pose && !DrawScenePose(frame, *pose, error)) return false;
  DrawCanvas(*frame, middle, MIDDLE_START + swing - STRIP_SWING, STRIP_ROW);
  DrawCanvas(*frame, front, FRONT_START + swing - STRIP_SWING, STRIP_ROW);
  if (bubble.bubble) DrawCanvas(*frame, *bubble.bubble, bubble.x, bubble.y);
  return true;
}

// The scripts, meshes, motions and textures the scenes load, written into a scratch folder
// that the scenes are loaded from; removed again when it goes.
struct SceneData {
  std::filesystem::path dir, old_dir;
  bool ready = false;

  SceneData() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kra-assets-preview-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    dir = pattern;
    for (const ContentMaker& maker : ContentMakers()) {
      std::string name = maker.file_name;
      std::string ext = name.substr(name.find_last_of('.') + 1);
      if (ext != "lwo" && ext != "mot" && ext != "xml" && name.rfind("texture", 0) != 0) continue;
      std::vector<uint8_t> bytes = maker.make();
      FILE* f = std::fopen((dir / name).string().c_str(), "wb");
      if (!f) return;
      bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
      if (std::fclose(f) != 0 || !written) return;
    }
    old_dir = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    ready = true;
  }
  ~SceneData() {
    std::error_code ignored;
    if (ready) std::filesystem::current_path(old_dir, ignored);
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
  }
};

bool WriteCanvas(const std::string& path, const Canvas& canvas, std::string* error) {
  std::vector<uint8_t> png = EncodePng(canvas, PngKind::RGB);
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(png.data(), 1, png.size(), f) == png.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok && error) *error = "cannot write " + path;
  return ok;
}

}  // namespace

bool WritePreviews(const std::string& dir, std::string* error) {
  std::filesystem::create_directories(dir);
  std::filesystem::path out = std::filesystem::absolute(dir);
  Canvas front = PaintFrontWave(), middle = PaintMiddleWave(), rear = PaintRearWave();
  Canvas zibo = PaintZiboBubble(), zibo_second = PaintZiboSecondBubble(), object = PaintObjectBubble();
  SceneData data;
  if (!data.ready) {
    if (error) *error = "cannot write the scenes' files into a scratch folder";
    return false;
  }
  // Each object's clock as the parts run it at that part second: "swim" restarts Zibo's and
  // Mamma's at 7.5 and 15 s, "swam" only Zibo's.
  const ScenePose MAMMA_EARLY = {"mamma1.xml", 2, {1.0f, 1.0f, 0}, 1.0f, false, {-1, -1, -1}, 0};
  const ScenePose MAMMA_LATER = {"mamma1.xml", 2, {3.0f, 3.0f, 0}, 3.0f, false, {-1, -1, -1}, 0};
  const ScenePose SWIM_TALK = {"swim.xml", 2, {16.5f, 16.5f, 0}, 31.5f, false, {-1, -1, -1}, 0};
  const ScenePose SWIM_NIGHT = {"swim.xml", 2, {4.5f, 4.5f, 0}, 12.0f, false, {-1, -1, -1}, 0};
  const ScenePose SWIM_PUFFED = {"swim.xml", 2, {23.0f, 23.0f, 0}, 38.0f, true, {1, -1, -1}, 0};
  const ScenePose SWAM_TOGETHER = {"swam.xml", 3, {10.0f, 25.0f, 25.0f}, 25.0f, false, {0, -1, -1}, 4};
  const ScenePose SWAM_END = {"swam.xml", 3, {15.0f, 30.0f, 30.0f}, 30.0f, false, {0, -1, std::sin(60.0f) + 1.0f}, 3};
  // Bubble positions as the scene parts place them.
  struct Sample {
    const char* name;
    Canvas background;
    BubbleAt bubble;
    int swing;
    const ScenePose* pose;
  };
  Sample samples[] = {
      {"preview_mamma.png", PaintSkyBackground(), {&zibo, 250, 110}, 0, &MAMMA_EARLY},
      {"preview_mamma_later.png", PaintSkyBackground(), {&zibo_second, 330, 150}, 40, &MAMMA_LATER},
      {"preview_swim_day.png", PaintSunBackground(), {&object, 70, 150}, 20, &SWIM_TALK},
      {"preview_swim_night.png", PaintNightBackground(), {nullptr, 0, 0}, 60, &SWIM_NIGHT},
      {"preview_swim_puffed.png", PaintSunBackground(), {&zibo, 70, 150}, 30, &SWIM_PUFFED},
      {"preview_swam.png", PaintSkyBackground(), {&zibo, 330, 120}, 50, &SWAM_TOGETHER},
  };
  Canvas frame;
  for (const Sample& s : samples) {
    if (!ComposeScene(s.background, rear, middle, front, s.bubble, s.swing, s.pose, &frame, error) ||
        !WriteCanvas((out / s.name).string(), frame, error)) {
      return false;
    }
  }
  // The end card covers the scene; only the heart is drawn over it.
  frame = PaintEndCard();
  return DrawScenePose(&frame, SWAM_END, error) && WriteCanvas((out / "preview_end.png").string(), frame, error);
}

}  // namespace assets
