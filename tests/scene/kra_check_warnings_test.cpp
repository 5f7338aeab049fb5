// kra-check's warnings (what the demo copes with) and the numbers it will not let pass.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "check_files.h"
#include "check_path.h"
#include "geometry/lwo_writer.h"
#include "geometry/motion_writer.h"
#include "kra_check_test_support.h"
#include "resource/png_encode.h"

namespace {

using KraCheckWarnings = KraCheckTest;

// A fuzzer's motion files: NaN and infinite keys were accepted without a word.
TEST_F(KraCheckWarnings, MotionKeysThatAreNotFiniteNumbers) {
  const float inf = std::numeric_limits<float>::infinity();
  for (int field = 0; field < 3; ++field) {
    MotionWriter writer;
    MotionRecord record{};
    AddMotionRecord(&writer, record);
    record.time = 30;
    // NaN in a position, +inf in a scale, -inf in the rotation key's bias.
    (field == 0 ? record.position[1] : field == 1 ? record.scale[2] : record.bias[1]) =
        field == 0 ? std::numeric_limits<float>::quiet_NaN() : field == 1 ? inf : -inf;
    AddMotionRecord(&writer, record);
    ASSERT_EQ(SaveMotionFile(writer, "odd.mot"), 1);
    const int before = report_.problem_count;
    EXPECT_FALSE(CheckPath(&report_, "odd.mot"));
    EXPECT_EQ(report_.problem_count, before + 1) << Output();
  }
  const std::string out = Output();
  for (const char* key : {"position key 2 at frame 30", "scale key 2 at frame 30", "rotation key 2 at frame 30"}) {
    EXPECT_TRUE(Has(std::string("odd.mot: ") + key + " holds a value that is not a finite number")) << out;
  }
}

TEST_F(KraCheckWarnings, ImageSmallerThanTheFrameIsAWarning) {
  std::vector<uint8_t> rgb(16 * 8 * 3, 90);
  std::vector<uint8_t> png = EncodePngRows(rgb.data(), 16, 8, 3, 16 * 3, 6);
  MemChunk chunk{};
  chunk.size = int32_t(png.size());
  chunk.data = new uint8_t[png.size()];
  std::copy(png.begin(), png.end(), chunk.data);
  const ImageNeeds needs{512, 384, "frame of the intro"};
  EXPECT_TRUE(CheckImage(&report_, "small.png", chunk, &needs)) << Output();
  EXPECT_EQ(report_.problem_count, 0);
  EXPECT_EQ(report_.warning_count, 1);
  EXPECT_TRUE(Has("small.png: warning: image is 16x8, smaller than the 512x384 frame of the intro")) << Output();
}

TEST_F(KraCheckWarnings, SkippedPartsOfAnObjectAreWarnings) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "tri");
  for (int i = 0; i < 3; ++i) AddLwoPoint(layer, i == 1, i == 2, 0);
  AddLwoPolygon(layer, {0, 1, 2}, "Skin");
  AddLwoSurface(&writer, "Skin", 1, 1, 1, "", 0);
  AddLwoRawChunk(&writer.trailing_chunks, "PTAG", {'S', 'U', 'R', 'F', 0, 0, 0, 7});
  WriteFile("tagged.lwo", WriteLwo(writer));
  EXPECT_TRUE(CheckPath(&report_, "tagged.lwo")) << Output();
  EXPECT_EQ(report_.warning_count, 1);
  EXPECT_TRUE(Has("tagged.lwo: warning: PTAG chunk at offset")) << Output();
}

}  // namespace
