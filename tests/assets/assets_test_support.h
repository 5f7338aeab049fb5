// Helpers for the content tests: a scratch directory to work in, and PNG decoding through
// libpng's simplified reader so that the tests see files as any PNG reader would.
#pragma once

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct DecodedPng {
  bool ok = false;
  int width = 0, height = 0;
  bool has_alpha = false;
  std::vector<uint8_t> rgba;  // width * height * 4, alpha 255 where the file had none

  uint8_t Alpha(int x, int y) const { return rgba[(size_t(y) * size_t(width) + size_t(x)) * 4 + 3]; }
};

inline DecodedPng DecodeForTest(const std::vector<uint8_t>& bytes) {
  DecodedPng out;
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return out;
  out.has_alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  out.width = int(image.width);
  out.height = int(image.height);
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  out.ok = png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
  return out;
}

// Works in a fresh temporary directory for the test's lifetime, so nothing the demo could
// pick up from the working directory is in the way.
class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kra_assets_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    old_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_dir_);
    std::filesystem::remove_all(dir_);
  }

  static std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string dir_;
  std::filesystem::path old_dir_;
};
