#include "demo/intro.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <memory>
#include <vector>

#include "demo/demo_parts.h"
#include "demo/demo_state.h"
#include "demo/frame_buffer.h"
#include "demo/frame_timer.h"
#include "platform/counter.h"
#include "resource/data_archive.h"
#include "resource/png_test_support.h"
#include "resource/resource_test_support.h"

namespace {

const char* const kCards[INTRO_IMAGE_COUNT] = {"presents.png", "zibo.png", "creds.png", "greets.png"};
const uint32_t kCardColours[INTRO_IMAGE_COUNT] = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};

// A solid RGB card of the frame's size.
std::string SolidCard(uint32_t colour) {
  PngPicture picture;
  picture.width = WIDTH;
  picture.height = HEIGHT;
  std::vector<uint8_t> row;
  for (int x = 0; x < WIDTH; ++x) {
    row.push_back((uint8_t)(colour >> 16));
    row.push_back((uint8_t)(colour >> 8));
    row.push_back((uint8_t)colour);
  }
  picture.rows.assign(HEIGHT, row);
  return EncodePng(picture);
}

class IntroTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    ResetDemoState();
    ASSERT_EQ(CreateFrameBuffer(&g_demo.frame_buffer, WIDTH, HEIGHT, DISPLAY_HEIGHT), 1);
  }
  void TearDown() override {
    ReleaseIntro(&intro);
    FreeFrameBuffer(&g_demo.frame_buffer);
    CloseArchive(&g_data_archive);
    ResetDemoState();
    ScratchDirTest::TearDown();
  }

  void WriteCards() {
    for (int i = 0; i < INTRO_IMAGE_COUNT; ++i) WriteBytes(kCards[i], SolidCard(kCardColours[i]));
  }

  // One frame as the loop does it: cleared, then drawn by the intro.
  uint32_t DrawFrame() {
    ClearFrameBuffer(&g_demo.frame_buffer);
    DrawIntro(&intro, g_demo.timer.delta, &g_demo.frame_buffer.frame);
    return FramePixel(0, 0);
  }
  uint32_t FramePixel(int x, int y) {
    const Texture& frame = g_demo.frame_buffer.frame;
    return frame.pixels[y * frame.width + x];
  }

  // The card a frame must show: strictly past 5, 10 and 15 seconds.
  static int CardAt(float clock) { return clock > 15.0f ? 3 : clock > 10.0f ? 2 : clock > 5.0f ? 1 : 0; }

  IntroState intro{};
};

TEST_F(IntroTest, CardsChangeOnlyAfterFiveTenAndFifteenSeconds) {
  WriteCards();
  LoadIntro(&intro);
  g_demo.timer.delta = 0.25f;  // sums exactly, so the clock hits 5.0, 10.0 and 15.0 on the dot
  for (int frame = 1; frame <= 80; ++frame) {
    uint32_t pixel = DrawFrame();
    float clock = frame * 0.25f;
    ASSERT_EQ(intro.clock, clock);
    ASSERT_EQ(pixel, kCardColours[CardAt(clock)]) << "at " << clock << " s";
  }
  EXPECT_EQ(FramePixel(WIDTH - 1, HEIGHT - 1), kCardColours[3]);
}

TEST_F(IntroTest, TwentySecondsOnTheVirtualCounterShowFourCardsInOrder) {
  WriteCards();
  LoadIntro(&intro);
  VirtualCounter counter(60);
  StartTimer(&g_demo.timer, counter);
  std::vector<int> shown;
  while (intro.clock <= 20.0f) {
    TickTimer(&g_demo.timer, counter);
    uint32_t pixel = DrawFrame();
    ASSERT_EQ(pixel, kCardColours[CardAt(intro.clock)]) << intro.clock;
    if (shown.empty() || shown.back() != intro.shown) shown.push_back(intro.shown);
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(IntroTest, MissingCardLeavesItsSlotBlack) {
  WriteCards();
  std::remove("creds.png");
  LoadIntro(&intro);
  EXPECT_EQ(intro.images[2].width, 0);
  EXPECT_EQ(intro.images[2].pixels, nullptr);
  g_demo.timer.delta = 0.5f;
  for (int frame = 1; frame <= 40; ++frame) {
    uint32_t pixel = DrawFrame();
    float clock = frame * 0.5f;
    uint32_t want = CardAt(clock) == 2 ? 0u : kCardColours[CardAt(clock)];
    ASSERT_EQ(pixel, want) << clock;
    if (CardAt(clock) == 2) {
      ASSERT_EQ(FramePixel(WIDTH / 2, HEIGHT / 2), 0u);
    }
  }
}

TEST_F(IntroTest, CardsComeFromTheArchiveAndAlphaBlendsOntoBlack) {
  std::vector<ZipMember> members;
  for (int i = 0; i < INTRO_IMAGE_COUNT; ++i) {
    members.push_back({kCards[i], SolidCard(kCardColours[i])});
  }
  PngPicture small;  // a half-transparent card smaller than the frame
  small.width = 2;
  small.height = 1;
  small.color_type = PNG_COLOR_TYPE_RGBA;
  small.rows = {{200, 100, 50, 128, 200, 100, 50, 128}};
  members[0] = {"PRESENTS.PNG", EncodePng(small)};
  WriteZip("autoexec.bat", members);
  ASSERT_EQ(OpenArchive(&g_data_archive, "autoexec.bat"), 1);
  LoadIntro(&intro);
  g_demo.timer.delta = 1.0f;
  DrawFrame();
  EXPECT_EQ(FramePixel(0, 0) & 0xFFFFFFu, (uint32_t)((200 * 128) >> 8 << 16 | (100 * 128) >> 8 << 8 | (50 * 128) >> 8));
  EXPECT_EQ(FramePixel(2, 0), 0u);
  EXPECT_EQ(FramePixel(0, 1), 0u);
  for (int i = 0; i < 5; ++i) DrawFrame();
  EXPECT_EQ(FramePixel(0, 0), kCardColours[1]);
}

// The frame loop leaves the clear out only under an opaque image that covers the frame.
TEST(PartCoversFrame, OnlyAnOpaqueImageAsLargeAsTheFrame) {
  struct Case {
    int32_t width, height, has_alpha;
    bool covers;
  } cases[] = {{WIDTH, HEIGHT, 0, true},      {WIDTH + 8, HEIGHT + 8, 0, true}, {WIDTH, HEIGHT, 1, false},
               {WIDTH - 1, HEIGHT, 0, false}, {WIDTH, HEIGHT - 1, 0, false},    {0, 0, 0, false}};
  auto parts = std::make_unique<DemoParts>();
  for (const Case& c : cases) {
    Texture& card = parts->intro.images[parts->intro.shown];
    card = CreateTexture(c.width, c.height);
    card.has_alpha = c.has_alpha;
    EXPECT_EQ(PartCoversFrame(*parts, DemoPartId::kIntro, WIDTH, HEIGHT), c.covers) << c.width << "x" << c.height;
    FreeTexture(&card);
  }
  EXPECT_FALSE(PartCoversFrame(*parts, DemoPartId::kNone, WIDTH, HEIGHT));
}

}  // namespace
