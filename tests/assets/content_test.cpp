// The demo's images as the demo parts need them: every file they load is in the archive,
// decodes through the demo's own loader with the size and alpha the parts expect, and the
// wave strips and bubbles have the shapes that their placement in the frame relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "assets_test_support.h"
#include "images/theme.h"
#include "pack/content.h"
#include "pack/zip_writer.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"

using namespace assets;

namespace {

struct ExpectedImage {
  const char* name;
  int width;   // exact, or the least width when at_least is set
  int height;
  bool has_alpha;
  bool at_least;
};

// What the demo parts load and how they draw it.
const ExpectedImage EXPECTED[] = {
    {"presents.png", 512, 384, false, false},   {"zibo.png", 512, 384, false, false},
    {"creds.png", 512, 384, false, false},      {"greets.png", 512, 384, false, false},
    {"bg_sky.png", 512, 384, false, false},     {"bg_sol.png", 512, 384, false, false},
    {"bg_natt.png", 512, 384, false, false},    {"end.png", 512, 384, false, false},
    {"wavefront.png", 642, 100, true, true},    {"wavemiddle.png", 642, 100, true, true},
    {"waveback.png", 642, 100, true, true},     {"boble_zib.png", 1, 1, true, true},
    {"boble_zib1.png", 1, 1, true, true},       {"boble_obj.png", 1, 1, true, true},
    {"texture.png", 256, 256, false, false},    {"texture2.png", 256, 256, false, false},
};

// Every place a scene part draws each bubble (its top-left corner).
struct BubblePlace {
  const char* name;
  int x, y;
};
const BubblePlace BUBBLE_PLACES[] = {
    {"boble_zib.png", 250, 110}, {"boble_zib1.png", 330, 150}, {"boble_zib.png", 350, 120},
    {"boble_obj.png", 70, 150},  {"boble_obj.png", 350, 120},  {"boble_zib.png", 70, 150},
    {"boble_obj.png", 330, 120}, {"boble_zib.png", 330, 120},
};

const ContentMaker* FindMaker(const std::string& name) {
  for (const ContentMaker& maker : ContentMakers()) {
    if (name == maker.file_name) return &maker;
  }
  return nullptr;
}

// Each file is made once per test program.
const ContentBytes& Made(const std::string& name) {
  static std::map<std::string, ContentBytes> made;
  auto found = made.find(name);
  if (found != made.end()) return found->second;
  const ContentMaker* maker = FindMaker(name);
  static const ContentBytes none;
  if (!maker) return none;
  return made[name] = maker->make();
}

DecodedPng DecodedFile(const std::string& name) { return DecodeForTest(Made(name)); }

// Row of the first pixel that is more than half opaque in a column (the crest).
int CrestRow(const DecodedPng& strip, int x) {
  for (int y = 0; y < strip.height; ++y) {
    if (strip.Alpha(x, y) >= 128) return y;
  }
  return strip.height;
}

double MeanCrestRow(const DecodedPng& strip) {
  double sum = 0;
  for (int x = 0; x < strip.width; ++x) sum += CrestRow(strip, x);
  return sum / strip.width;
}

class ArchiveContentTest : public ScratchDirTest {};

}  // namespace

TEST(ContentTable, HasEveryFileTheDemoPartsLoadOnce) {
  for (const ExpectedImage& e : EXPECTED) EXPECT_NE(FindMaker(e.name), nullptr) << e.name;
  std::vector<std::string> names;
  for (const ContentMaker& maker : ContentMakers()) names.push_back(maker.file_name);
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a file is made twice";
  // Names must fit the demo's name fields: MemChunk keeps 31 characters, a texture's
  // TextureRef 19.
  for (const std::string& n : names) {
    bool image = n.size() > 4 && n.compare(n.size() - 4, 4, ".png") == 0;
    EXPECT_LE(n.size(), image ? 19u : 31u) << n;
  }
}

// The seam with the demo: pack the images, open the archive the way the entry does, load
// each file by name in another letter case and decode it with the demo's decoder.
TEST_F(ArchiveContentTest, EveryImageDecodesThroughTheDemoLoaderWithTheExpectedShape) {
  std::vector<assets::ArchiveMember> members;
  for (const ExpectedImage& e : EXPECTED) members.push_back({e.name, Made(e.name)});
  std::string error;
  ASSERT_TRUE(WriteZipArchive("autoexec.bat", members, &error)) << error;

  DataArchive archive = {};
  ASSERT_EQ(OpenArchive(&archive, "autoexec.bat"), 1);
  for (const ExpectedImage& e : EXPECTED) {
    std::string upper = e.name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    MemChunk chunk = LoadFile(&archive, upper.c_str());
    ASSERT_EQ(size_t(chunk.size), Made(e.name).size()) << e.name;
    ASSERT_EQ(std::memcmp(chunk.data, Made(e.name).data(), size_t(chunk.size)), 0) << e.name;
    Texture t = DecodePng(chunk);
    if (e.at_least) {
      EXPECT_GE(t.width, e.width) << e.name;
      EXPECT_GE(t.height, e.height) << e.name;
    } else {
      EXPECT_EQ(t.width, e.width) << e.name;
      EXPECT_EQ(t.height, e.height) << e.name;
    }
    EXPECT_EQ(t.has_alpha, e.has_alpha ? 1 : 0) << e.name;
    FreeTexture(&t);
  }
  CloseArchive(&archive);
}

TEST(WaveStrips, CoverTheFrameAtEveryPositionOfTheirSwing) {
  for (const char* name : {"wavefront.png", "wavemiddle.png", "waveback.png"}) {
    DecodedPng strip = DecodedFile(name);
    ASSERT_TRUE(strip.ok) << name;
    // Drawn at columns position - 130 for positions 0..130: the far end must still reach
    // the frame's last column.
    EXPECT_GE(strip.width, FRAME_WIDTH + STRIP_SWING) << name;
    EXPECT_GE(strip.height, FRAME_HEIGHT - STRIP_ROW) << name;
  }
}

TEST(WaveStrips, AreClearAboveTheCrestAndOpaqueBelowIt) {
  for (const char* name : {"wavefront.png", "wavemiddle.png", "waveback.png"}) {
    DecodedPng strip = DecodedFile(name);
    ASSERT_TRUE(strip.ok) << name;
    int columns_with_faults = 0;
    for (int x = 0; x < strip.width; ++x) {
      bool fault = strip.Alpha(x, 0) != 0 || strip.Alpha(x, strip.height - 1) != 255;
      // Along a column alpha only grows: one crest, no holes, no floating spray.
      for (int y = 1; y < strip.height; ++y) fault = fault || strip.Alpha(x, y) < strip.Alpha(x, y - 1);
      // Below the crest's anti-aliased edge the water is fully opaque.
      int crest = CrestRow(strip, x);
      for (int y = crest + 2; y < strip.height; ++y) fault = fault || strip.Alpha(x, y) != 255;
      if (fault) ++columns_with_faults;
    }
    EXPECT_EQ(columns_with_faults, 0) << name;
  }
}

TEST(WaveStrips, LayersReadAsDepthRearHighestAndFrontLowest) {
  DecodedPng front = DecodedFile("wavefront.png"), middle = DecodedFile("wavemiddle.png"),
             rear = DecodedFile("waveback.png");
  ASSERT_TRUE(front.ok && middle.ok && rear.ok);
  double rear_row = MeanCrestRow(rear), middle_row = MeanCrestRow(middle), front_row = MeanCrestRow(front);
  EXPECT_LT(rear_row, middle_row);
  EXPECT_LT(middle_row, front_row);
  // The front strip must leave room above it for the swimmers and the rear one must not
  // start at the strip's top row (a straight cut would show).
  EXPECT_GT(rear_row, 2.0);
  EXPECT_LT(front_row, STRIP_HEIGHT * 0.8);
}

TEST(SpeechBubbles, FitInTheFrameWhereverTheScenesPlaceThem) {
  for (const BubblePlace& place : BUBBLE_PLACES) {
    DecodedPng bubble = DecodedFile(place.name);
    ASSERT_TRUE(bubble.ok) << place.name;
    EXPECT_LE(place.x + bubble.width, FRAME_WIDTH) << place.name << " at " << place.x << "," << place.y;
    EXPECT_LE(place.y + bubble.height, FRAME_HEIGHT) << place.name << " at " << place.x << "," << place.y;
  }
}

TEST(SpeechBubbles, AreClearAroundTheBalloonAndSolidInside) {
  for (const char* name : {"boble_zib.png", "boble_zib1.png", "boble_obj.png"}) {
    DecodedPng bubble = DecodedFile(name);
    ASSERT_TRUE(bubble.ok) << name;
    EXPECT_EQ(bubble.Alpha(0, 0), 0) << name;
    EXPECT_EQ(bubble.Alpha(bubble.width - 1, 0), 0) << name;
    EXPECT_EQ(bubble.Alpha(0, bubble.height - 1), 0) << name;
    EXPECT_EQ(bubble.Alpha(bubble.width / 2, bubble.height / 3), 255) << name;
  }
}

TEST(SpeechBubbles, EachSaysSomethingOfItsOwn) {
  EXPECT_NE(Made("boble_zib.png"), Made("boble_zib1.png"));
  EXPECT_NE(Made("boble_zib.png"), Made("boble_obj.png"));
}

TEST(Cards, AreDistinctPictures) {
  const char* cards[] = {"presents.png", "zibo.png", "creds.png", "greets.png", "end.png"};
  for (const char* a : cards) {
    for (const char* b : cards) {
      if (std::strcmp(a, b) < 0) {
        EXPECT_NE(Made(a), Made(b)) << a << " and " << b;
      }
    }
  }
}

TEST(Backgrounds, DayAndNightDifferInBrightness) {
  auto mean_luma = [](const DecodedPng& image) {
    double sum = 0;
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
      sum += 0.3 * image.rgba[i] + 0.59 * image.rgba[i + 1] + 0.11 * image.rgba[i + 2];
    }
    return sum / double(image.rgba.size() / 4);
  };
  DecodedPng day = DecodedFile("bg_sol.png"), night = DecodedFile("bg_natt.png");
  ASSERT_TRUE(day.ok && night.ok);
  EXPECT_GT(mean_luma(day), 2.0 * mean_luma(night));
}

// In one process too: no maker keeps state that changes its next result. (The whole
// archive, music included, is compared across two runs of the tool in archive_test.cpp.)
TEST(Reproducibility, EveryPictureGivesTheSameBytesTwice) {
  for (const ExpectedImage& e : EXPECTED) {
    const ContentMaker* maker = FindMaker(e.name);
    ASSERT_NE(maker, nullptr) << e.name;
    EXPECT_EQ(maker->make(), Made(e.name)) << e.name;
  }
}
