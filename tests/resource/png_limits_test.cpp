// What a PNG may make the decoder allocate: the size of the image in bytes (not its shape),
// and nothing at all for the chunks it has no use for.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "png_test_support.h"
#include "resource/png_texture.h"

namespace {

void Put32(std::string* b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b->push_back((char)(v >> shift));
}

// A whole chunk: length, type, data, CRC.
std::string Chunk(const char* type, const std::string& data) {
  std::string b;
  Put32(&b, (uint32_t)data.size());
  const std::string body = std::string(type, 4) + data;
  b += body;
  Put32(&b, (uint32_t)crc32(0, reinterpret_cast<const Bytef*>(body.data()), (uInt)body.size()));
  return b;
}

std::string Header(uint32_t width, uint32_t height) {
  std::string ihdr;
  Put32(&ihdr, width);
  Put32(&ihdr, height);
  return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", ihdr + std::string("\x08\x02\x00\x00\x00", 5));  // 8-bit RGB
}

// A valid image with one more chunk right after its IHDR (8 + 25 bytes).
std::string WithChunk(const PngPicture& picture, const char* type, const std::string& data) {
  return EncodePng(picture).insert(33, Chunk(type, data));
}

std::string Decoded(const std::string& bytes, Texture* t) {
  testing::internal::CaptureStderr();
  *t = DecodePng(ChunkOf(bytes, "limits.png"));
  return testing::internal::GetCapturedStderr();
}

// A fuzzer's 44-byte files: an IHDR, then an ancillary chunk declaring 1 to 2 GiB. libpng
// read such chunks whole before checking them.
TEST(PngLimitsTest, HugeAncillaryChunksAllocateNothing) {
  for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "pCAL", "sCAL"}) {
    for (uint32_t length : {1u << 30, 0x7FFFFFFFu}) {
      std::string png = Header(1, 1);
      Put32(&png, length);
      png += type;
      png += "abc";
      ASSERT_EQ(png.size(), 44u);
      Texture t;
      std::string printed = Decoded(png, &t);
      EXPECT_EQ(t.pixels, nullptr) << type;
      EXPECT_NE(printed.find("limits.png: libpng error: "), std::string::npos) << type << printed;
    }
  }
}

TEST(PngLimitsTest, TextChunksAreSkippedInValidImages) {
  PngPicture picture;
  picture.rows.assign(3, std::vector<uint8_t>(12, 200));
  Texture t;
  Decoded(WithChunk(picture, "tEXt", std::string("Title\0kra", 9)), &t);
  EXPECT_EQ(t.width, picture.width);
  FreeTexture(&t);
}

// Refused before as wider than 8192; a long thin image is small.
TEST(PngLimitsTest, ImageLimitIsInBytesNotInPixelsPerSide) {
  PngPicture wide{.width = 9000, .height = 1, .rows = {std::vector<uint8_t>(9000 * 3, 7)}};
  Texture t;
  Decoded(EncodePng(wide), &t);
  EXPECT_EQ(t.width, 9000);
  EXPECT_EQ(t.height, 1);
  FreeTexture(&t);

  // 16384 x 16384 x 4 bytes is a GiB: refused at the header, before any row is read.
  std::string printed = Decoded(Header(16384, 16384) + Chunk("IDAT", "") + Chunk("IEND", ""), &t);
  EXPECT_EQ(t.pixels, nullptr);
  EXPECT_NE(printed.find("16384x16384"), std::string::npos) << printed;
}

TEST(PngLimitsTest, RgbTransparentColourStaysOpaque) {
  PngPicture picture{.width = 2, .height = 1, .rows = {{1, 2, 3, 9, 9, 9}}};
  Texture t;
  Decoded(WithChunk(picture, "tRNS", std::string("\0\x01\0\x02\0\x03", 6)), &t);  // the first pixel's colour
  ASSERT_EQ(t.width, 2);
  EXPECT_EQ(t.has_alpha, 0);
  EXPECT_EQ(t.pixels[0], 0xFF010203u);
  FreeTexture(&t);
}

}  // namespace
