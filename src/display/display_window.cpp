#include "display/display_window.h"

#include <algorithm>

#include "platform/display_device.h"
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

// The player's keys and the pointer, kept for the player to take after the frame. Moves
// come many to a frame: only the latest of a run of them matters.
void QueueInput(DisplayEvent event) {
  DisplayWindow& window = g_display_window;
  DisplayInput input{event, -1, -1};
  const bool pointer = event == DisplayEvent::kPointerMove || event == DisplayEvent::kPointerPress ||
                       event == DisplayEvent::kPointerRelease;
  if (pointer && window.device) window.device->PointerPosition(&input.x, &input.y);
  const int32_t capacity = static_cast<int32_t>(sizeof(window.inputs) / sizeof(window.inputs[0]));
  if (event == DisplayEvent::kPointerMove && window.input_count > 0 &&
      window.inputs[window.input_count - 1].event == DisplayEvent::kPointerMove) {
    window.inputs[window.input_count - 1] = input;
  } else if (window.input_count < capacity) {
    window.inputs[window.input_count++] = input;
  }
}

}  // namespace

int OpenDisplay(DisplayDevice* output, const char* title, int width, int height) {
  DisplayWindow& window = g_display_window;
  window = DisplayWindow{};
  window.width = width;
  window.height = height;
  window.device = output;
  if (!output) return 0;
  DisplayDevice& device = *output;

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

namespace {

// Rows [top, bottom) of the display buffer into the locked back buffer at destination (the
// address of row top). Rows that follow each other without padding are one run for the
// converter: one call and, for a 32-bit mode, one copy.
void ConvertRows(const uint32_t* pixels, int32_t top, int32_t bottom, uint8_t* destination, int pitch) {
  const DisplayWindow& window = g_display_window;
  const uint32_t* source = pixels + static_cast<int64_t>(top) * window.width;
  if (pitch == window.width * window.bytes_per_pixel) {
    window.converter(source, destination, window.width * (bottom - top));
    return;
  }
  for (int32_t row = top; row < bottom; ++row) {
    window.converter(source, destination, window.width);
    source += window.width;
    destination += pitch;
  }
}

}  // namespace

int PresentFrame(const uint32_t* pixels) { return PresentFrameRows(pixels, 0, g_display_window.height); }

int PresentFrameRows(const uint32_t* pixels, int32_t top, int32_t bottom) {
  DisplayWindow& window = g_display_window;
  DisplayDevice& device = *window.device;

  DisplayEvent event;
  while (device.PollEvent(&event)) DisplayWindowProc(event);

  if (!window.active) {
    window.shown = 0;
    SleepMs(1);
    return 1;
  }

  device.Restore();
  top = std::clamp(top, 0, window.height);
  bottom = std::clamp(bottom, top, window.height);
  // Only a device that still holds the last frame can be given part of the next one; a
  // frame with no changed rows is then the last one again, flipped as it stands.
  const bool partial = window.shown && (top > 0 || bottom < window.height) && device.KeepsRows();
  uint8_t* destination = nullptr;
  int pitch = 0;
  if (partial && top == bottom) {
    device.Flip();
    SleepMs(0);
    return 1;
  }
  if (!partial || !device.LockRows(top, bottom, &destination, &pitch)) {
    top = 0;
    bottom = window.height;
    window.shown = 0;
    if (!device.Lock(&destination, &pitch)) return 0;
  }
  ConvertRows(pixels, top, bottom, destination, pitch);
  device.Unlock();
  device.Flip();
  window.shown = 1;
  SleepMs(0);
  return 1;
}

void CloseDisplay() {
  DisplayWindow& window = g_display_window;
  if (window.device && window.created) {
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
      g_display_window.shown = 0;
      break;
    case DisplayEvent::kDeactivated:
      g_display_window.active = 0;
      g_display_window.shown = 0;
      break;
    case DisplayEvent::kCursorOverWindow:
      g_display_window.device->HideCursor();
      break;
    case DisplayEvent::kOtherKey:
      break;
    default: QueueInput(event); break;
  }
}

bool TakeDisplayInput(DisplayInput* input) {
  DisplayWindow& window = g_display_window;
  if (window.input_count == 0) return false;
  *input = window.inputs[0];
  for (int32_t i = 1; i < window.input_count; ++i) window.inputs[i - 1] = window.inputs[i];
  --window.input_count;
  return true;
}
