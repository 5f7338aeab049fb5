#include "resource/texture_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "png_test_support.h"
#include "resource/png_texture.h"

namespace {

class TextureTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ReleaseTextureTable(); }
  void TearDown() override { ReleaseTextureTable(); }
};

std::vector<uint32_t> Gradient(int width, int height) {
  std::vector<uint32_t> pixels((size_t)width * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels[(size_t)y * width + x] = 0xFF000000u | (y << 12) | x;
  }
  return pixels;
}

TEST_F(TextureTableTest, IdsAreConsecutiveFromZero) {
  std::vector<uint32_t> image = Gradient(256, 256);
  EXPECT_EQ(RegisterTexture(256, 256, 4, image.data()), 0);
  EXPECT_EQ(RegisterTexture(256, 256, 4, image.data()), 1);
  EXPECT_EQ(RegisterTexture(256, 256, 4, image.data()), 2);
  EXPECT_EQ(g_texture_table.count, 3);
  const Texture& slot = g_texture_table.slots[1];
  ASSERT_EQ(slot.width, 256);
  EXPECT_EQ(slot.has_alpha, 0);
  EXPECT_EQ(std::memcmp(slot.pixels, image.data(), image.size() * 4), 0);
  image[0] = 0;  // the table holds its own copy
  EXPECT_NE(slot.pixels[0], 0u);
}

TEST_F(TextureTableTest, OtherSizesAreResampledNearestNeighbour) {
  std::vector<uint32_t> small = Gradient(64, 32);
  int32_t id = RegisterTexture(64, 32, 4, small.data());
  const Texture& slot = g_texture_table.slots[id];
  ASSERT_EQ(slot.width, TEXTURE_SIZE);
  ASSERT_EQ(slot.height, TEXTURE_SIZE);
  for (int y = 0; y < 256; y += 5) {
    for (int x = 0; x < 256; x += 3) {
      ASSERT_EQ(slot.pixels[y * 256 + x], small[(size_t)(y / 8) * 64 + x / 4]) << x << "," << y;
    }
  }
  std::vector<uint32_t> large = Gradient(512, 384);
  id = RegisterTexture(512, 384, 4, large.data());
  EXPECT_EQ(g_texture_table.slots[id].pixels[255 * 256 + 255], large[(size_t)382 * 512 + 510]);
}

TEST_F(TextureTableTest, MissingImageGetsABlackSlot) {
  int32_t id = RegisterTexture(0, 0, 4, nullptr);
  ASSERT_EQ(id, 0);
  const Texture& slot = g_texture_table.slots[0];
  ASSERT_EQ(slot.width, 256);
  for (int i = 0; i < 256 * 256; ++i) ASSERT_EQ(slot.pixels[i], 0u);
}

TEST_F(TextureTableTest, FullTableRefusesWithAMessage) {
  std::vector<uint32_t> image = Gradient(256, 256);
  for (int i = 0; i < TEXTURE_SLOTS; ++i) ASSERT_EQ(RegisterTexture(256, 256, 4, image.data()), i);
  testing::internal::CaptureStderr();
  int32_t id = RegisterTexture(256, 256, 4, image.data());
  std::fflush(stderr);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(id, -1);
  EXPECT_EQ(g_texture_table.count, TEXTURE_SLOTS);
  EXPECT_NE(printed.find("Texture table full"), std::string::npos) << printed;
}

TEST_F(TextureTableTest, ReleaseFreesAndRestartsIds) {
  std::vector<uint32_t> image = Gradient(256, 256);
  RegisterTexture(256, 256, 4, image.data());
  ReleaseTextureTable();
  EXPECT_EQ(g_texture_table.count, 0);
  EXPECT_EQ(g_texture_table.slots[0].width, 0);
  EXPECT_EQ(g_texture_table.slots[0].pixels, nullptr);
  EXPECT_EQ(RegisterTexture(256, 256, 4, image.data()), 0);
}

TEST_F(TextureTableTest, LoadSceneTextureRecordsIdAndCutName) {
  PngPicture picture;
  picture.width = 2;
  picture.height = 2;
  picture.rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 255, 255, 255}};
  std::string png = EncodePng(picture);

  TextureRef first = {}, second = {};
  EXPECT_EQ(LoadSceneTexture(&first, ChunkOf(png, "texture_ninteen.png")), 1);
  EXPECT_EQ(LoadSceneTexture(&second, ChunkOf(png, "a_much_longer_texture_name.png")), 1);
  EXPECT_EQ(first.id, 0);
  EXPECT_EQ(second.id, 1);
  EXPECT_STREQ(first.name, "texture_ninteen.png");  // 19 characters fit
  EXPECT_STREQ(second.name, "a_much_longer_textu");
  const Texture& slot = g_texture_table.slots[0];
  EXPECT_EQ(slot.pixels[0], 0xFFFF0000u);
  EXPECT_EQ(slot.pixels[255], 0xFF00FF00u);
  EXPECT_EQ(slot.pixels[255 * 256], 0xFF0000FFu);
  EXPECT_EQ(slot.pixels[255 * 256 + 255], 0xFFFFFFFFu);
}

TEST_F(TextureTableTest, UndecodableSceneTextureStillTakesItsId) {
  TextureRef ref = {};
  testing::internal::CaptureStderr();
  LoadSceneTexture(&ref, ChunkOf("not a png at all", "broken.png"));
  std::fflush(stderr);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ref.id, 0);
  EXPECT_STREQ(ref.name, "broken.png");
  EXPECT_EQ(g_texture_table.slots[0].width, TEXTURE_SIZE);
  EXPECT_NE(printed.find("broken.png"), std::string::npos);
}

}  // namespace
