// Decodes kept for reuse: a file read again gives the same pixels in memory of its own, other
// bytes under the same name are decoded afresh, failures are not kept, and opening or
// closing an archive forgets what was kept.
#include "resource/png_reuse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png_test_support.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"

namespace {

std::string Picture(uint8_t seed, int color_type = PNG_COLOR_TYPE_RGB) {
  PngPicture picture;
  picture.color_type = color_type;
  const int channels = color_type == PNG_COLOR_TYPE_RGB ? 3 : 4;
  for (int y = 0; y < picture.height; ++y) {
    std::vector<uint8_t> row;
    for (int i = 0; i < picture.width * channels; ++i) row.push_back(static_cast<uint8_t>(seed + 37 * y + 11 * i));
    picture.rows.push_back(row);
  }
  return EncodePng(picture);
}

std::vector<uint32_t> PixelsOf(const Texture& t) { return std::vector<uint32_t>(t.pixels, t.pixels + t.width * t.height); }

class PngReuseTest : public ::testing::Test {
 protected:
  void SetUp() override { ForgetDecodes(); }
  void TearDown() override { ForgetDecodes(); }
};

TEST_F(PngReuseTest, TheSameBytesGiveTheSamePixelsInMemoryOfTheirOwn) {
  for (int color_type : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA}) {
    ForgetDecodes();
    const std::string bytes = Picture(5, color_type);
    Texture first = DecodePng(ChunkOf(bytes, "a.png"));
    ASSERT_NE(first.pixels, nullptr);
    const std::vector<uint32_t> decoded = PixelsOf(first);
    Texture second = DecodePng(ChunkOf(bytes, "b.png"));  // the bytes count, not the name
    ASSERT_NE(second.pixels, nullptr);
    EXPECT_NE(second.pixels, first.pixels);
    EXPECT_EQ(second.width, first.width);
    EXPECT_EQ(second.height, first.height);
    EXPECT_EQ(second.has_alpha, color_type == PNG_COLOR_TYPE_RGB_ALPHA ? 1 : 0);
    EXPECT_EQ(PixelsOf(second), decoded);
    // Writing into one copy or freeing it leaves the next copy as decoded.
    second.pixels[0] ^= 0xFFFFFFFFu;
    FreeTexture(&first);
    Texture third = DecodePng(ChunkOf(bytes, "a.png"));
    EXPECT_EQ(PixelsOf(third), decoded);
    FreeTexture(&second);
    FreeTexture(&third);
  }
}

TEST_F(PngReuseTest, OtherBytesUnderTheSameNameAreDecodedAfresh) {
  Texture first = DecodePng(ChunkOf(Picture(1), "wave.png"));
  Texture other = DecodePng(ChunkOf(Picture(2), "wave.png"));
  ASSERT_NE(first.pixels, nullptr);
  ASSERT_NE(other.pixels, nullptr);
  EXPECT_NE(PixelsOf(first), PixelsOf(other));
  // One byte changed at the end (the IEND chunk's CRC): not the file kept, so a fresh decode,
  // which libpng refuses.
  std::string damaged = Picture(1);
  damaged.back() ^= 0x01;
  testing::internal::CaptureStderr();
  Texture refused = DecodePng(ChunkOf(damaged, "wave.png"));
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(refused.pixels, nullptr);
  EXPECT_NE(printed.find("wave.png"), std::string::npos) << printed;
  FreeTexture(&first);
  FreeTexture(&other);
}

TEST_F(PngReuseTest, FailuresAreNotKeptAndTheArchiveForgetsDecodes) {
  const std::string truncated = Picture(3).substr(0, 40);
  for (int round = 0; round < 2; ++round) {
    testing::internal::CaptureStderr();
    Texture none = DecodePng(ChunkOf(truncated, "cut.png"));
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(none.pixels, nullptr);
    EXPECT_NE(printed.find("cut.png: libpng error"), std::string::npos) << "round " << round << ": " << printed;
  }
  const std::string bytes = Picture(4);
  Texture kept = DecodePng(ChunkOf(bytes, "k.png"));
  MemChunk probe = ChunkOf(bytes, "k.png");
  Texture before = ReusedDecode(probe);
  EXPECT_NE(before.pixels, nullptr) << "kept after the first decode";
  DataArchive archive = {};
  CloseArchive(&archive);
  Texture after = ReusedDecode(probe);
  EXPECT_EQ(after.pixels, nullptr) << "forgotten when an archive closes";
  FreeChunk(&probe);
  FreeTexture(&before);
  FreeTexture(&kept);
}

}  // namespace
