#include "platform/headless_display.h"

#include <algorithm>

HeadlessDisplay::HeadlessDisplay(HeadlessDisplayConfig config) : config_(std::move(config)) {}

void HeadlessDisplay::ScheduleEvent(int64_t pump, DisplayEvent event) { scheduled_.emplace(pump, event); }

bool HeadlessDisplay::Create(const char* title, int width, int height) {
  if (config_.fail_create) {
    error_ = "the headless display was told to fail";
    return false;
  }
  width_ = width;
  height_ = height;
  destroyed = false;
  if (config_.starts_active) pending_.push_back(DisplayEvent::kActivated);
  return true;
}

bool HeadlessDisplay::SetMode(int width, int height, int bits) {
  mode_requests.push_back(bits);
  const auto& accepted = config_.accepted_bits;
  if (std::find(accepted.begin(), accepted.end(), bits) == accepted.end()) {
    error_ = "depth " + std::to_string(bits) + " refused";
    return false;
  }
  mode_bits = bits;
  pitch_ = width * ((bits + 7) / 8) + config_.pitch_padding;
  surface_.assign(static_cast<size_t>(pitch_) * height, 0);
  return true;
}

bool HeadlessDisplay::CreateSurfaces(int count) {
  surface_requests.push_back(count);
  if (count > config_.max_back_buffers) return false;
  back_buffers = count;
  return true;
}

bool HeadlessDisplay::HasBackBuffer() { return back_buffers > 0; }

bool HeadlessDisplay::GetPixelFormat(DisplayPixelFormat* format) {
  auto it = config_.formats.find(mode_bits);
  if (config_.fail_pixel_format || it == config_.formats.end()) return false;
  *format = it->second;
  return true;
}

void HeadlessDisplay::Restore() { ++restores; }

bool HeadlessDisplay::Lock(uint8_t** pixels, int* pitch) {
  if (config_.fail_lock) return false;
  ++locks;
  lost_ = false;
  *pixels = surface_.data();
  *pitch = pitch_;
  return true;
}

bool HeadlessDisplay::LockRows(int top, int bottom, uint8_t** pixels, int* pitch) {
  const int64_t rows = pitch_ > 0 ? static_cast<int64_t>(surface_.size()) / pitch_ : 0;
  if (!KeepsRows() || config_.fail_lock || top < 0 || top >= bottom || bottom > rows) return false;
  ++locks;
  ++row_locks;
  *pixels = surface_.data() + static_cast<size_t>(top) * pitch_;
  *pitch = pitch_;
  return true;
}

void HeadlessDisplay::Unlock() {}

void HeadlessDisplay::Flip() {
  DisplayPixelFormat format{};
  GetPixelFormat(&format);
  if (sink_) sink_(HeadlessFrame{flips, width_, height_, pitch_, format, surface_.data()});
  ++flips;
}

// A pump is the run of PollEvent calls up to the one that finds nothing left.
bool HeadlessDisplay::PollEvent(DisplayEvent* event) {
  if (!in_pump_) {
    in_pump_ = true;
    ++pumps;
    auto range = scheduled_.equal_range(pumps);
    for (auto it = range.first; it != range.second; ++it) pending_.push_back(it->second);
    scheduled_.erase(range.first, range.second);
  }
  if (pending_.empty()) {
    in_pump_ = false;
    return false;
  }
  *event = pending_.front();
  pending_.erase(pending_.begin());
  return true;
}
