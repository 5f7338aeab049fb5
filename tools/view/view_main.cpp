// kra-view: shows one LWO2 object or one scene script as the demo's renderer draws it, in a
// window that follows edits to the files, or as one PNG frame.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo/frame_buffer.h"
#include "render/render_context.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"
#include "view_load.h"
#include "view_frame.h"
#include "kra_version.h"
#include "view_options.h"
#include "view_pose.h"
#include "view_window.h"

namespace {

int RenderPng(const ViewOptions& options, ViewContent* content, Texture* frame) {
  PoseView(content, options, options.seconds);
  DrawViewFrame(*content, frame);
  std::string error;
  if (!WriteViewPng(*frame, options.png_path, &error)) {
    std::fprintf(stderr, "kra-view: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

// The renderer set up as the demo sets it up, on a frame of the demo's size.
void StartRenderer(const ViewOptions& options, Texture* frame) {
  *frame = CreateTexture(WIDTH, HEIGHT);
  std::memset(frame->pixels, 0, sizeof(uint32_t) * WIDTH * HEIGHT);
  InitRenderer(*frame);
  RenderEnable(CAP_TEXTURE);
  RenderEnable(CAP_INERT_1002);
  SetBlendMode(BLEND_BASE, options.blend_mode);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  auto parsed = ParseViewOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!parsed) {
    std::fprintf(stderr, "kra-view: %s\n%s", error.c_str(), kViewUsage);
    return 2;
  }
  if (parsed->help) {
    std::fputs(kViewUsage, stdout);
    return 0;
  }
  if (parsed->version) {
    std::printf("kra-view %s\n%s\n", KRA_VERSION, KRA_LICENCE_LINE);
    return 0;
  }
  const ViewOptions& options = *parsed;
  Texture frame{};
  StartRenderer(options, &frame);
  ViewContent content{};
  int status = 0;
  switch (LoadViewContent(options, &content)) {
    case ViewLoad::OK:
      status = options.png_path.empty() ? RunViewWindow(options, &content, &frame) : RenderPng(options, &content, &frame);
      break;
    case ViewLoad::BAD_FILE: status = 1; break;
    case ViewLoad::BAD_OPTIONS: status = 2; break;
  }
  FreeViewContent(&content);
  ReleaseRenderer();
  FreeTexture(&frame);
  CloseArchive(&g_data_archive);
  return status;
}
