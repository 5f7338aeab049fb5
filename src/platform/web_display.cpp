#include "platform/web_display.h"

#include <emscripten.h>

// The canvas keeps its size in pixels; CSS scales it. The context is made once and kept.
EM_JS(void, PutCanvasPixels, (const uint8_t* pixels, int width, int height), {
  const canvas = Module["canvas"] || document.getElementById("canvas");
  if (!canvas) return;
  if (canvas.width != width || canvas.height != height) {
    canvas.width = width;
    canvas.height = height;
    Module.kraContext = null;
  }
  if (!Module.kraContext) Module.kraContext = canvas.getContext("2d", {alpha: false});
  const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
  Module.kraContext.putImageData(new ImageData(bytes, width, height), 0, 0);
});

bool WebDisplay::Create(const char* title, int width, int height) {
  width_ = width;
  height_ = height;
  activation_pending_ = true;
  return true;
}

bool WebDisplay::SetMode(int width, int height, int bits) {
  if (bits != 32) {
    error_ = "the page takes 32-bit pixels only";
    return false;
  }
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(width) * height, 0);
  return true;
}

bool WebDisplay::GetPixelFormat(DisplayPixelFormat* format) {
  *format = DisplayPixelFormat{1, 32, 0xFF, 0xFF00, 0xFF0000};
  return true;
}

bool WebDisplay::Lock(uint8_t** pixels, int* pitch) {
  if (pixels_.empty()) {
    error_ = "no display mode";
    return false;
  }
  *pixels = reinterpret_cast<uint8_t*>(pixels_.data());
  *pitch = width_ * 4;
  return true;
}

void WebDisplay::Flip() {
  for (uint32_t& pixel : pixels_) pixel |= 0xFF000000u;
  PutCanvasPixels(reinterpret_cast<const uint8_t*>(pixels_.data()), width_, height_);
  ++flips_;
}

// A page is active from the start; its keys reach the player straight from the browser
// (web_main.cpp), so nothing else waits here.
bool WebDisplay::PollEvent(DisplayEvent* event) {
  if (!activation_pending_) return false;
  activation_pending_ = false;
  *event = DisplayEvent::kActivated;
  return true;
}
