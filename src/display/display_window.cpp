#include "display/display_window.h"

#include "platform/display_device.h"
#include "platform/platform.h"
#include "platform/process.h"

DisplayWindow g_display_window;

namespace {

constexpr int kModeDepths[] = {32, 24, 16};

bool SetFirstModeThatWorks(DisplayDevice& device, int width, int height) {
  for (int bits : kModeDepths) {
    if (device.SetMode(width, height, bits)) return true;
  }
  return false;
}

// Two back buffers if the device has them, else one; a front surface alone has no back
// buffer to draw into, so opening then fails when the back buffer is asked for.
bool CreateFlippingSurfaces(DisplayDevice& device) {
  return device.CreateSurfaces(2) || device.CreateSurfaces(1) || device.CreateSurfaces(0);
}

}  // namespace

int OpenDisplay(const char* title, int width, int height) {
  DisplayWindow& window = g_display_window;
  window = DisplayWindow{};
  window.width = width;
  window.height = height;
  window.device = g_platform.display;
  if (!window.device) return 0;
  DisplayDevice& device = *window.device;

  if (!device.Create(title, width, height)) return 0;
  window.created = 1;
  if (!SetFirstModeThatWorks(device, width, height)) return 0;
  if (!CreateFlippingSurfaces(device)) return 0;
  window.surfaces = 1;
  if (!device.HasBackBuffer()) return 0;

  DisplayPixelFormat format{};
  if (!device.GetPixelFormat(&format) || !format.rgb) return 0;
  window.converter =
      SelectRowConverter(format.bits, format.red_mask, format.green_mask, format.blue_mask);
  if (!window.converter) return 0;
  window.bytes_per_pixel = (format.bits + 7) / 8;

  device.SetScreenSaver(false);
  return 1;
}

int PresentFrame(const uint32_t* pixels) {
  DisplayWindow& window = g_display_window;
  DisplayDevice& device = *window.device;

  DisplayEvent event;
  while (device.PollEvent(&event)) DisplayWindowProc(event);

  if (!window.active) {
    SleepMs(1);
    return 1;
  }

  device.Restore();
  uint8_t* destination = nullptr;
  int pitch = 0;
  if (!device.Lock(&destination, &pitch)) return 0;
  // Rows that follow each other without padding are one run for the converter: one call
  // and, for a 32-bit mode, one copy of the whole frame.
  if (pitch == window.width * window.bytes_per_pixel) {
    window.converter(pixels, destination, window.width * window.height);
  } else {
    const uint32_t* source = pixels;
    for (int row = 0; row < window.height; ++row) {
      window.converter(source, destination, window.width);
      source += window.width;
      destination += pitch;
    }
  }
  device.Unlock();
  device.Flip();
  SleepMs(0);
  return 1;
}

void CloseDisplay() {
  DisplayWindow& window = g_display_window;
  if (window.device) {
    window.device->SetScreenSaver(true);
    window.device->Destroy();
  }
  window.surfaces = 0;
  window.created = 0;
}

void DisplayWindowProc(DisplayEvent event) {
  switch (event) {
    case DisplayEvent::kClose:
    case DisplayEvent::kEscape:
      CloseDisplay();
      EndProcess(0);
    case DisplayEvent::kActivated:
      g_display_window.active = 1;
      break;
    case DisplayEvent::kDeactivated:
      g_display_window.active = 0;
      break;
    case DisplayEvent::kCursorOverWindow:
      g_display_window.device->HideCursor();
      break;
    case DisplayEvent::kOtherKey:
      break;
    case DisplayEvent::kKeySpace:
    case DisplayEvent::kKeyLeft:
    case DisplayEvent::kKeyRight:
    case DisplayEvent::kKeyPageUp:
    case DisplayEvent::kKeyPageDown:
    case DisplayEvent::kKeyHome:
    case DisplayEvent::kKeyR:
    case DisplayEvent::kKeyT: {
      DisplayWindow& window = g_display_window;
      if (window.key_count < static_cast<int32_t>(sizeof(window.keys) / sizeof(window.keys[0]))) {
        window.keys[window.key_count++] = event;
      }
      break;
    }
  }
}

bool TakeDisplayKey(DisplayEvent* key) {
  DisplayWindow& window = g_display_window;
  if (window.key_count == 0) return false;
  *key = window.keys[0];
  for (int32_t i = 1; i < window.key_count; ++i) window.keys[i - 1] = window.keys[i];
  --window.key_count;
  return true;
}
