// Helpers of the resource tests: a scratch directory per test and small files and zip
// archives written into it.
#pragma once

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// Makes a fresh directory under /tmp, works in it for the test and removes it afterwards.
class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    char pattern[] = "/tmp/kra_resource_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_dir_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::filesystem::path old_dir_;
  std::filesystem::path dir_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

inline std::string ReadBytes(const std::string& path) {
  std::string bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

struct ZipMember {
  std::string name;
  std::string bytes;
  bool deflate = true;
};

// Writes a zip archive with minizip's writer.
inline void WriteZip(const std::string& path, const std::vector<ZipMember>& members) {
  zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr) << path;
  for (const ZipMember& m : members) {
    zip_fileinfo info = {};
    int method = m.deflate ? Z_DEFLATED : 0;
    ASSERT_EQ(zipOpenNewFileInZip(zip, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                  method, Z_DEFAULT_COMPRESSION),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, m.bytes.data(), (unsigned)m.bytes.size()), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

inline uint32_t ReadLe32(const std::string& b, size_t at) {
  return (uint32_t)(uint8_t)b[at] | (uint32_t)(uint8_t)b[at + 1] << 8 |
         (uint32_t)(uint8_t)b[at + 2] << 16 | (uint32_t)(uint8_t)b[at + 3] << 24;
}

inline void WriteLe32(std::string* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = (char)(v >> (8 * i));
}

// Offsets of every header with the given signature (local 0x04034b50, central 0x02014b50).
inline std::vector<size_t> FindSignatures(const std::string& b, uint32_t signature) {
  std::vector<size_t> at;
  for (size_t i = 0; i + 4 <= b.size(); ++i) {
    if (ReadLe32(b, i) == signature) at.push_back(i);
  }
  return at;
}
