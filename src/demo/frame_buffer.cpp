#include "demo/frame_buffer.h"

#include <algorithm>
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
  MarkFrameChanged(buffer, 0, height);
  return 1;
}

void ClearFrameBuffer(FrameBuffer* buffer) {
  buffer->damage = BackdropDamage{};
  MarkFrameChanged(buffer, 0, buffer->frame.height);
  if (!buffer->frame.pixels) return;
  std::memset(buffer->frame.pixels, 0,
              static_cast<size_t>(buffer->frame.width) * buffer->frame.height * sizeof(uint32_t));
}

void MarkFrameChanged(FrameBuffer* buffer, int32_t top, int32_t bottom) {
  if (bottom <= top) return;
  if (buffer->changed_bottom > buffer->changed_top) {
    top = std::min(top, buffer->changed_top);
    bottom = std::max(bottom, buffer->changed_bottom);
  }
  buffer->changed_top = top;
  buffer->changed_bottom = bottom;
}

void ShowFrameBuffer(FrameBuffer* buffer) {
  // The frame's first row in the display buffer.
  const int32_t offset =
      buffer->frame.width > 0 ? static_cast<int32_t>((buffer->frame.pixels - buffer->display) / buffer->frame.width) : 0;
  PresentFrameRows(buffer->display, offset + buffer->changed_top, offset + buffer->changed_bottom);
  buffer->changed_top = buffer->changed_bottom = 0;
}

void FreeFrameBuffer(FrameBuffer* buffer) {
  delete[] buffer->display;
  *buffer = FrameBuffer{};
}
