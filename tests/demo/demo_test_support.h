// Helpers of the demo tests: small images and objects written into the scratch directory,
// and scene scripts for the three scene parts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "geometry/lwo_writer.h"
#include "resource/png_encode.h"
#include "resource/resource_test_support.h"

namespace demo_test {

// The build's own data archive linked into the working directory, as the demo finds it.
// false (with nothing linked) when the build has not made it yet.
inline bool LinkBuildArchive() {
  const std::filesystem::path archive = std::filesystem::path(KRA_BINARY_DIR) / "autoexec.bat";
  if (!std::filesystem::exists(archive)) return false;
  std::filesystem::create_symlink(archive, "autoexec.bat");
  return true;
}

// A test of the whole demo on the build's own data: a scratch directory with the archive
// linked into it.
class BuildArchiveTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    ASSERT_TRUE(LinkBuildArchive()) << "the build's autoexec.bat is missing: build the target kra_data first";
  }
};

// An opaque image of one colour.
inline void WriteSolidPng(const std::string& path, int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < width * height; ++i) rgb.insert(rgb.end(), {r, g, b});
  std::vector<uint8_t> png = EncodePngRows(rgb.data(), width, height, 3, static_cast<size_t>(width) * 3, 1);
  WriteBytes(path, std::string(png.begin(), png.end()));
}

// The x of the morph target's second point: the base shape has 1 there.
constexpr float TARGET_X = 3.0f;

// A script of meshes (each the triangle with its morph target) and as many objects, one per
// mesh, placed far back so that they stay small.
inline std::string PartScript(int meshes, int objects) {
  std::string text = "<demo><scene>\r\n";
  for (int i = 0; i < meshes; ++i) {
    text += "<loadlwo name=\"m" + std::to_string(i) + "\" filename=\"tri.lwo\" morphfile=\"tri_morph.lwo\"/>\r\n";
  }
  for (int i = 0; i < objects; ++i) {
    text += "<object name=\"o" + std::to_string(i) + "\" mesh=\"m" + std::to_string(i % (meshes ? meshes : 1)) +
            "\"><key time=\"0\" pos_x=\"" + std::to_string(i) + "\" pos_z=\"-40\"/></object>\r\n";
  }
  return text + "</scene></demo>\r\n";
}

// The triangle (0, 0, 0), (size, 0, 0), (0, size, 0) at size 1 and as its morph target, and a
// script for each scene part with the counts it uses: the least data a whole run needs, since
// a missing script ends the demo at load time.
inline void WritePartScripts(const std::string& dir = ".") {
  for (float size : {1.0f, TARGET_X}) {
    LwoWriter writer;
    LwoWriterLayer* layer = AddLwoLayer(&writer, "tri");
    AddLwoPoint(layer, 0, 0, 0);
    AddLwoPoint(layer, size, 0, 0);
    AddLwoPoint(layer, 0, size, 0);
    AddLwoPolygon(layer, {0, 1, 2}, "Skin");
    AddLwoSurface(&writer, "Skin", 1, 1, 1, "", 0);
    std::vector<uint8_t> lwo = WriteLwo(writer);
    WriteBytes(dir + (size == 1.0f ? "/tri.lwo" : "/tri_morph.lwo"), std::string(lwo.begin(), lwo.end()));
  }
  WriteBytes(dir + "/mamma1.xml", PartScript(2, 2));
  WriteBytes(dir + "/swim.xml", PartScript(2, 2));
  WriteBytes(dir + "/swam.xml", PartScript(3, 3));
}

}  // namespace demo_test
