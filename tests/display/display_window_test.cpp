// Opening and presenting through the headless display: the depth fallback, the back buffer
// retries, the converter choice, and every failure path.
#include <gtest/gtest.h>

#include <vector>

#include "display/display_window.h"
#include "display/row_converter.h"
#include "platform/display_device.h"
#include "platform/headless_display.h"
#include "platform/process.h"

namespace {

constexpr int kW = 16;
constexpr int kH = 4;

class DisplayWindowTest : public ::testing::Test {
 protected:
  int Open(HeadlessDisplay& display) { return OpenDisplay(&display, "kra", kW, kH); }

  std::vector<uint32_t> Frame() {
    std::vector<uint32_t> pixels(kW * kH);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x80000000u | static_cast<uint32_t>(i * 0x010305);
    return pixels;
  }
};

TEST_F(DisplayWindowTest, TakesThirtyTwoBitsFirst) {
  HeadlessDisplay display;
  ASSERT_EQ(Open(display), 1);
  EXPECT_EQ(display.mode_requests, (std::vector<int>{32}));
  EXPECT_EQ(display.surface_requests, (std::vector<int>{2}));
  EXPECT_EQ(g_display_window.converter, ConvertRowCopy32);
  EXPECT_FALSE(display.screen_saver_enabled);
}

TEST_F(DisplayWindowTest, FallsBackTo24Then16AndFollowsTheMasks) {
  HeadlessDisplayConfig config;
  config.accepted_bits = {24};
  config.formats[24] = {1, 24, 0xFF, 0xFF00, 0xFF0000};
  HeadlessDisplay display24(config);
  ASSERT_EQ(Open(display24), 1);
  EXPECT_EQ(display24.mode_requests, (std::vector<int>{32, 24}));
  EXPECT_EQ(g_display_window.converter, ConvertRowBgr24);

  config.accepted_bits = {16};
  config.formats[16] = {1, 16, 0x7C00, 0x3E0, 0x1F};
  HeadlessDisplay display16(config);
  ASSERT_EQ(Open(display16), 1);
  EXPECT_EQ(display16.mode_requests, (std::vector<int>{32, 24, 16}));
  EXPECT_EQ(g_display_window.converter, ConvertRowRgb555);
}

TEST_F(DisplayWindowTest, NoDepthAcceptedFails) {
  HeadlessDisplayConfig config;
  config.accepted_bits = {8};
  HeadlessDisplay display(config);
  EXPECT_EQ(Open(display), 0);
  EXPECT_EQ(display.mode_requests, (std::vector<int>{32, 24, 16}));
  EXPECT_TRUE(display.surface_requests.empty());
}

TEST_F(DisplayWindowTest, PalettizedOrUnknownMasksFail) {
  HeadlessDisplayConfig palettized;
  palettized.formats[32] = {0, 32, 0xFF0000, 0xFF00, 0xFF};
  HeadlessDisplay a(palettized);
  EXPECT_EQ(Open(a), 0);

  HeadlessDisplayConfig rgb444;
  rgb444.accepted_bits = {16};
  rgb444.formats[16] = {1, 16, 0xF00, 0xF0, 0xF};
  HeadlessDisplay b(rgb444);
  EXPECT_EQ(Open(b), 0);

  HeadlessDisplayConfig no_format;
  no_format.fail_pixel_format = true;
  HeadlessDisplay c(no_format);
  EXPECT_EQ(Open(c), 0);
}

TEST_F(DisplayWindowTest, OneBackBufferWorksNoneFails) {
  HeadlessDisplayConfig one;
  one.max_back_buffers = 1;
  HeadlessDisplay a(one);
  EXPECT_EQ(Open(a), 1);
  EXPECT_EQ(a.surface_requests, (std::vector<int>{2, 1}));

  HeadlessDisplayConfig none;
  none.max_back_buffers = 0;
  HeadlessDisplay b(none);
  EXPECT_EQ(Open(b), 0);
  EXPECT_EQ(b.surface_requests, (std::vector<int>{2, 1, 0}));
}

TEST_F(DisplayWindowTest, PresentConvertsEveryRowIntoAPaddedPitch) {
  HeadlessDisplayConfig config;
  config.accepted_bits = {16};
  config.pitch_padding = 6;
  HeadlessDisplay display(config);
  ASSERT_EQ(Open(display), 1);
  display.FillSurface(0xEE);
  const auto frame = Frame();
  ASSERT_EQ(PresentFrame(frame.data()), 1);
  EXPECT_EQ(display.flips, 1);
  EXPECT_EQ(display.restores, 1);
  const auto& surface = display.Surface();
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const size_t at = static_cast<size_t>(y) * display.Pitch() + 2 * x;
      EXPECT_EQ(surface[at] | (surface[at + 1] << 8), PixelRgb565(frame[y * kW + x]));
    }
    for (int pad = 0; pad < 6; ++pad) {
      EXPECT_EQ(surface[static_cast<size_t>(y) * display.Pitch() + 2 * kW + pad], 0xEE) << "row " << y;
    }
  }
}

// Without padding the rows follow each other and the frame goes to the converter as one
// run: every depth still gives each pixel's own conversion, row after row.
TEST_F(DisplayWindowTest, PresentConvertsAnUnpaddedSurfaceAsOneRun) {
  for (int bits : {32, 24, 16}) {
    HeadlessDisplayConfig config;
    config.accepted_bits = {bits};
    HeadlessDisplay display(config);
    ASSERT_EQ(Open(display), 1);
    display.FillSurface(0xEE);
    const auto frame = Frame();
    ASSERT_EQ(PresentFrame(frame.data()), 1);
    const auto& surface = display.Surface();
    const int bytes = bits / 8;
    ASSERT_EQ(display.Pitch(), kW * bytes);
    ASSERT_EQ(surface.size(), static_cast<size_t>(kW * bytes * kH));
    for (int i = 0; i < kW * kH; ++i) {
      const uint32_t p = frame[i];
      const uint32_t want = bits == 16 ? PixelRgb565(p) : bits == 24 ? (p & 0xFFFFFFu) : p;
      uint32_t got = 0;
      for (int b = 0; b < bytes; ++b) got |= static_cast<uint32_t>(surface[static_cast<size_t>(i) * bytes + b]) << (8 * b);
      ASSERT_EQ(got, want) << bits << "-bit pixel " << i;
    }
  }
}

TEST_F(DisplayWindowTest, FailedLockDropsTheFrameAndReportsIt) {
  HeadlessDisplayConfig config;
  config.fail_lock = true;
  HeadlessDisplay display(config);
  ASSERT_EQ(Open(display), 1);
  const auto frame = Frame();
  EXPECT_EQ(PresentFrame(frame.data()), 0);
  EXPECT_EQ(display.flips, 0);
}

TEST_F(DisplayWindowTest, InactiveWindowSkipsFramesAndReturnsOne) {
  HeadlessDisplayConfig config;
  config.starts_active = false;
  HeadlessDisplay display(config);
  ASSERT_EQ(Open(display), 1);
  const auto frame = Frame();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(PresentFrame(frame.data()), 1);
  EXPECT_EQ(display.flips, 0);
  EXPECT_EQ(display.locks, 0);
  display.ScheduleEvent(display.pumps + 1, DisplayEvent::kActivated);
  EXPECT_EQ(PresentFrame(frame.data()), 1);
  EXPECT_EQ(display.flips, 1);
}

TEST_F(DisplayWindowTest, OtherKeysAreSwallowedEscapeEndsWithZero) {
  HeadlessDisplay display;
  ASSERT_EQ(Open(display), 1);
  const auto frame = Frame();
  display.ScheduleEvent(1, DisplayEvent::kOtherKey);
  display.ScheduleEvent(1, DisplayEvent::kCursorOverWindow);
  EXPECT_EQ(PresentFrame(frame.data()), 1);
  EXPECT_TRUE(display.cursor_hidden);
  EXPECT_FALSE(display.destroyed);

  display.ScheduleEvent(2, DisplayEvent::kEscape);
  try {
    PresentFrame(frame.data());
    FAIL() << "Escape did not end the process";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  EXPECT_TRUE(display.destroyed);
  EXPECT_TRUE(display.screen_saver_enabled);
  EXPECT_EQ(display.flips, 1);
}

// A frame that differs in a few rows converts only those where the device keeps the others;
// the whole frame goes when it cannot, the first time, and after an activation change. The
// surface is scribbled over between presents, so a row converted shows the new frame and a
// row kept shows the scribble.
TEST_F(DisplayWindowTest, ChangedRowsAloneAreConvertedWhereTheDeviceKeepsTheRest) {
  struct Case {
    const char* name;
    bool keeps_rows;
    bool reactivate;  // an activation message before the second present
    bool reset;       // the device loses its pixels before the second present
    int top, bottom;  // rows changed for the second present
    int first_new, end_new;  // rows the second present must have written
    int row_locks;
  } cases[] = {
      {"some rows", true, false, false, 1, 3, 1, 3, 1},
      {"no row", true, false, false, 2, 2, 0, 0, 0},
      {"every row", true, false, false, 0, kH, 0, kH, 0},
      {"rows cut to the frame", true, false, false, -5, 2, 0, 2, 1},
      {"device without LockRows", false, false, false, 1, 3, 0, kH, 0},
      {"no row, device without LockRows", false, false, false, 2, 2, 0, kH, 0},
      {"after an activation", true, true, false, 1, 3, 0, kH, 0},
      {"some rows after a reset", true, false, true, 1, 3, 0, kH, 0},
      {"no row after a reset", true, false, true, 2, 2, 0, kH, 0},
  };
  for (const Case& c : cases) {
    HeadlessDisplayConfig config;
    config.accepted_bits = {32};
    config.keeps_rows = c.keeps_rows;
    HeadlessDisplay display(config);
    ASSERT_EQ(Open(display), 1);
    const auto frame = Frame();
    ASSERT_EQ(PresentFrameRows(frame.data(), 1, 2), 1) << c.name;  // the first: every row
    EXPECT_EQ(display.row_locks, 0) << c.name;
    if (c.reset) {
      display.LoseSurface(0xAB);
    } else {
      display.FillSurface(0xAB);
    }
    if (c.reactivate) display.ScheduleEvent(display.pumps + 1, DisplayEvent::kActivated);
    ASSERT_EQ(PresentFrameRows(frame.data(), c.top, c.bottom), 1) << c.name;
    EXPECT_EQ(display.flips, 2) << c.name;
    EXPECT_EQ(display.row_locks, c.row_locks) << c.name;
    const auto* surface = reinterpret_cast<const uint32_t*>(display.Surface().data());
    for (int y = 0; y < kH; ++y) {
      const bool converted = y >= c.first_new && y < c.end_new;
      EXPECT_EQ(surface[y * kW + 3], converted ? frame[y * kW + 3] : 0xABABABABu) << c.name << " row " << y;
    }
  }
}

}  // namespace
