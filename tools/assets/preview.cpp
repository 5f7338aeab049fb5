#include "preview.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "assets_theme.h"
#include "paintings.h"
#include "png_writer.h"

namespace assets {

namespace {

// Strip positions as the scene parts start them (front 26, middle 66, rear 120); a strip
// is drawn at column position - STRIP_SWING.
constexpr int FRONT_START = 26, MIDDLE_START = 66, REAR_START = 120;

struct BubbleAt {
  const Canvas* bubble;
  int x, y;
};

Canvas ComposeScene(const Canvas& background, const Canvas& rear, const Canvas& middle, const Canvas& front,
                    BubbleAt bubble, int swing) {
  Canvas frame = background;
  DrawCanvas(frame, rear, REAR_START - swing - STRIP_SWING, STRIP_ROW);
  DrawCanvas(frame, middle, MIDDLE_START + swing - STRIP_SWING, STRIP_ROW);
  DrawCanvas(frame, front, FRONT_START + swing - STRIP_SWING, STRIP_ROW);
  if (bubble.bubble) DrawCanvas(frame, *bubble.bubble, bubble.x, bubble.y);
  return frame;
}

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
  Canvas front = PaintFrontWave(), middle = PaintMiddleWave(), rear = PaintRearWave();
  Canvas zibo = PaintZiboBubble(), zibo_second = PaintZiboSecondBubble(), object = PaintObjectBubble();
  // Bubble positions as the scene parts place them.
  struct Sample {
    const char* name;
    Canvas background;
    BubbleAt bubble;
    int swing;
  };
  Sample samples[] = {
      {"preview_mamma.png", PaintSkyBackground(), {&zibo, 250, 110}, 0},
      {"preview_mamma_later.png", PaintSkyBackground(), {&zibo_second, 330, 150}, 40},
      {"preview_swim_day.png", PaintSunBackground(), {&object, 70, 150}, 20},
      {"preview_swim_night.png", PaintNightBackground(), {&zibo, 350, 120}, 60},
  };
  for (const Sample& s : samples) {
    if (!WriteCanvas(dir + "/" + s.name, ComposeScene(s.background, rear, middle, front, s.bubble, s.swing), error)) {
      return false;
    }
  }
  return true;
}

}  // namespace assets
