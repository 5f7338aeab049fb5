#include "view_frame.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "display/image_blit.h"
#include "render/scene_pass.h"
#include "resource/png_encode.h"

void DrawViewFrame(const ViewContent& content, Texture* frame) {
  std::memset(frame->pixels, 0, sizeof(uint32_t) * frame->width * frame->height);
  if (content.background.pixels) DrawImage(frame, &content.background, 0, 0);
  if (content.scene) RenderScene(FrameViewOf(frame), content.scene);
}

bool WriteViewPng(const Texture& frame, const std::string& path, std::string* error) {
  std::vector<uint8_t> rgb(static_cast<size_t>(frame.width) * frame.height * 3);
  for (size_t i = 0, n = static_cast<size_t>(frame.width) * frame.height; i < n; i++) {
    const uint32_t pixel = frame.pixels[i];
    rgb[3 * i + 0] = static_cast<uint8_t>(pixel >> 16);
    rgb[3 * i + 1] = static_cast<uint8_t>(pixel >> 8);
    rgb[3 * i + 2] = static_cast<uint8_t>(pixel);
  }
  const std::vector<uint8_t> png =
      EncodePngRows(rgb.data(), frame.width, frame.height, 3, static_cast<size_t>(frame.width) * 3, 6);
  if (png.empty()) {
    *error = "cannot encode the frame as PNG";
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  const int saved = errno;
  if (std::fclose(file) != 0 || !written) {
    *error = "cannot write " + path + ": " + std::strerror(written ? errno : saved);
    return false;
  }
  return true;
}
