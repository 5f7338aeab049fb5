// The display device over memory, for tests and captures.
//
// It behaves like a screen whose properties a test chooses: which depths it accepts, which
// pixel format it reports, how many back buffers it can give, whether locking fails. Each
// flipped frame goes to a sink; events (Escape, close, activation) are delivered on the
// message pump a test names.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/display_device.h"

struct HeadlessDisplayConfig {
  std::vector<int> accepted_bits = {32, 24, 16};
  // The format reported for each accepted depth.
  std::map<int, DisplayPixelFormat> formats = {
      {32, {1, 32, 0xFF0000, 0xFF00, 0xFF}},
      {24, {1, 24, 0xFF0000, 0xFF00, 0xFF}},
      {16, {1, 16, 0xF800, 0x7E0, 0x1F}},
  };
  int max_back_buffers = 2;  // 0: only a front surface can be created
  bool fail_create = false;
  bool fail_pixel_format = false;
  bool fail_lock = false;
  int pitch_padding = 0;     // bytes after each row, so a pitch differs from the row size
  bool starts_active = true; // an activation message is pending after Create
  bool keeps_rows = true;    // LockRows works: the surface keeps what is not written
};

struct HeadlessFrame {
  int64_t index;  // 0 for the first flipped frame
  int width;
  int height;
  int pitch;
  DisplayPixelFormat format;
  const uint8_t* bytes;  // height rows, pitch bytes apart
};

class HeadlessDisplay final : public DisplayDevice {
 public:
  explicit HeadlessDisplay(HeadlessDisplayConfig config = {});

  void SetFrameSink(std::function<void(const HeadlessFrame&)> sink) { sink_ = std::move(sink); }
  // Delivers the event on the given message pump (1 = the pump of the first presented
  // frame); events for the same pump arrive in the order they were scheduled.
  void ScheduleEvent(int64_t pump, DisplayEvent event);

  bool Create(const char* title, int width, int height) override;
  bool SetMode(int width, int height, int bits) override;
  bool CreateSurfaces(int back_buffers) override;
  bool HasBackBuffer() override;
  bool GetPixelFormat(DisplayPixelFormat* format) override;
  void Restore() override;
  bool Lock(uint8_t** pixels, int* pitch) override;
  bool KeepsRows() override { return config_.keeps_rows && !lost_; }
  bool LockRows(int top, int bottom, uint8_t** pixels, int* pitch) override;
  void Unlock() override;
  void Flip() override;
  bool PollEvent(DisplayEvent* event) override;
  void HideCursor() override { cursor_hidden = true; }
  void SetScreenSaver(bool enabled) override { screen_saver_enabled = enabled; }
  void Destroy() override { destroyed = true; }
  void SetTitle(const char* text) override { title = text; }
  std::string LastError() override { return error_; }

  // What happened, for tests to look at.
  std::vector<int> mode_requests;     // depths asked for, in order
  std::vector<int> surface_requests;  // back buffer counts asked for, in order
  int mode_bits = 0;
  int back_buffers = -1;
  int64_t pumps = 0;
  int64_t locks = 0;
  int64_t row_locks = 0;  // those of them that locked some rows alone
  int64_t flips = 0;
  int64_t restores = 0;
  bool cursor_hidden = false;
  bool screen_saver_enabled = true;
  bool destroyed = false;
  std::string title;                  // the latest SetTitle's
  const std::vector<uint8_t>& Surface() const { return surface_; }
  int Pitch() const { return pitch_; }
  void FillSurface(uint8_t value) { surface_.assign(surface_.size(), value); }
  // What a driver reset does: the surface's pixels are gone (filled with value) and the device
  // keeps no rows until the next whole Lock.
  void LoseSurface(uint8_t value) {
    FillSurface(value);
    lost_ = true;
  }

 private:
  HeadlessDisplayConfig config_;
  std::function<void(const HeadlessFrame&)> sink_;
  std::multimap<int64_t, DisplayEvent> scheduled_;
  std::vector<DisplayEvent> pending_;
  bool in_pump_ = false;
  bool lost_ = false;
  int width_ = 0;
  int height_ = 0;
  int pitch_ = 0;
  std::vector<uint8_t> surface_;
  std::string error_;
};
