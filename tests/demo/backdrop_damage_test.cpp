// A part puts its backdrop back only in the rows its last frame drew on, and the display is
// given only the rows that changed: every frame of a run, with the demo's own data, in the
// frame buffer and on the display, is the frame that the same paint over the whole backdrop
// gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "audio/audio_offline.h"
#include "demo/backdrop.h"
#include "demo/demo_parts.h"
#include "demo/demo_state.h"
#include "demo/demo_test_support.h"
#include "demo/entry.h"
#include "demo/frame_buffer.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"

namespace {

class BackdropDamageTest : public demo_test::BuildArchiveTest {};

TEST_F(BackdropDamageTest, EveryFrameShownIsTheFrameOfAPaintOverTheWholeBackdrop) {
  HeadlessDisplayConfig config;
  config.accepted_bits = {32};
  HeadlessDisplay display(config);
  VirtualCounter counter(30);
  OfflineAudioDevice audio;
  const Platform platform{.display = &display, .counter = &counter, .audio = &audio};
  int64_t frames = 0, differing = 0, partial = 0;
  float first_differing = -1.0f;
  display.SetFrameSink([&](const HeadlessFrame& presented) {
    Texture& frame = g_demo.frame_buffer.frame;
    const size_t count = static_cast<size_t>(frame.width) * frame.height;
    const std::vector<uint32_t> shown(frame.pixels, frame.pixels + count);
    const BackdropDamage damage = g_demo.frame_buffer.damage;
    partial += damage.backdrop && damage.bottom - damage.top < frame.height;
    ForgetBackdropDamage(&frame);
    if (!PartCoversFrame(g_parts, g_demo.painted_by, frame.width, frame.height)) ClearFrameBuffer(&g_demo.frame_buffer);
    PaintDemoPart(g_parts, g_demo.painted_by, &frame);
    ++frames;
    const std::vector<uint32_t> fresh(frame.pixels, frame.pixels + count);
    const auto* surface = reinterpret_cast<const uint32_t*>(presented.bytes);
    const bool surface_differs = presented.pitch != frame.width * 4 || !std::equal(fresh.begin(), fresh.end(), surface);
    if (fresh != shown || surface_differs) {
      if (differing++ == 0) first_differing = g_demo.clock.seconds;
    }
  });
  DemoOptions options;
  options.player = false;
  ASSERT_EQ(RunDemo(platform, options), 0);
  EXPECT_GT(frames, 116 * 30 - 10);
  EXPECT_GT(partial, frames / 2) << "the parts should mostly put back a few rows";
  EXPECT_GT(display.row_locks, frames / 2) << "the display should mostly be given a few rows";
  EXPECT_EQ(differing, 0) << "the first at " << first_differing << " s";
}

// The damage record names its backdrop by the image, not by where its pixels lie: an image
// made after the first was freed (a reload) may get the same address, and must still be put
// back whole, or the rows the record does not name keep the old image.
TEST(BackdropDamage, AnImageAtAFreedImagesAddressIsPutBackWhole) {
  ResetDemoState();
  ASSERT_EQ(CreateFrameBuffer(&g_demo.frame_buffer, 16, 8, 8), 1);
  Texture* frame = &g_demo.frame_buffer.frame;
  Texture first = CreateTexture(16, 8);
  std::fill(first.pixels, first.pixels + 16 * 8, 0xFF111111u);
  PaintBackdrop(frame, first);
  std::fill(frame->pixels + 2 * 16, frame->pixels + 3 * 16, 0xFFFF0000u);  // a scene drew row 2
  KeepBackdropDamage(frame, first, RowSpan{2, 3});
  // The next image in the same buffer, as an allocator may hand it out again.
  Texture second = first;
  Texture other = CreateTexture(1, 1);
  second.serial = other.serial;
  FreeTexture(&other);
  std::fill(second.pixels, second.pixels + 16 * 8, 0xFF222222u);
  PaintBackdrop(frame, second);
  for (int row : {0, 2, 7}) EXPECT_EQ(frame->pixels[row * 16], 0xFF222222u) << "row " << row;
  FreeTexture(&first);
  FreeFrameBuffer(&g_demo.frame_buffer);
  ResetDemoState();
}

}  // namespace
