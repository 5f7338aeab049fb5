// The display device in a web page: the frame goes into the page's canvas (id "canvas", as
// many pixels as the frame; the page scales it to the window) with putImageData. The page
// owns full screen and the window's life, so this device reports no Escape and no close:
// the browser's own Escape leaves full screen, and closing the tab ends everything.
//
// The mode is 32 bits with the bytes R, G, B, A in memory, what ImageData holds; the row
// converter leaves A at 0, so Flip makes every pixel opaque before handing the rows over.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display_device.h"

class WebDisplay final : public DisplayDevice {
 public:
  bool Create(const char* title, int width, int height) override;
  bool SetMode(int width, int height, int bits) override;
  bool CreateSurfaces(int back_buffers) override { return !pixels_.empty(); }
  bool HasBackBuffer() override { return !pixels_.empty(); }
  bool GetPixelFormat(DisplayPixelFormat* format) override;
  void Restore() override {}
  bool Lock(uint8_t** pixels, int* pitch) override;
  void Unlock() override {}
  void Flip() override;
  bool PollEvent(DisplayEvent* event) override;
  void HideCursor() override {}
  void SetScreenSaver(bool enabled) override {}
  void Destroy() override { pixels_.clear(); }
  std::string LastError() override { return error_; }

  int64_t Flips() const { return flips_; }

 private:
  int width_ = 0;
  int height_ = 0;
  int64_t flips_ = 0;
  bool activation_pending_ = false;
  std::vector<uint32_t> pixels_;
  std::string error_;
};
