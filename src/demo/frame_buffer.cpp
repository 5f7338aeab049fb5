#include "demo/frame_buffer.h"

#include <cstring>

#include "display/display_window.h"
#include "platform/message_box.h"

int CreateFrameBuffer(FrameBuffer* buffer, int width, int height, int display_height) {
  *buffer = FrameBuffer{};
  if (width == 0 || height == 0) {
    ShowMessageBox("aaaaaaaaaaaaaaargg...  HUSK:    \nint  WIDTH = 320, HEIGHT = 240;", "thak");
    return 0;
  }
  const size_t pixels = static_cast<size_t>(width) * display_height;
  buffer->display = new uint32_t[pixels]();
  buffer->frame.width = width;
  buffer->frame.height = height;
  buffer->frame.pixels = buffer->display + static_cast<size_t>((display_height - height) / 2) * width;
  buffer->frame.has_alpha = 0;
  return 1;
}

void ClearFrameBuffer(FrameBuffer* buffer) {
  buffer->damage = BackdropDamage{};
  if (!buffer->frame.pixels) return;
  std::memset(buffer->frame.pixels, 0,
              static_cast<size_t>(buffer->frame.width) * buffer->frame.height * sizeof(uint32_t));
}

void ShowFrameBuffer(const FrameBuffer& buffer) { PresentFrame(buffer.display); }

void FreeFrameBuffer(FrameBuffer* buffer) {
  delete[] buffer->display;
  *buffer = FrameBuffer{};
}
