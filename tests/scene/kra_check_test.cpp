// kra-check: the demo's data as a folder, single files by content, scripts held against
// what the demo parts need, and the program's exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "check_demo.h"
#include "check_files.h"
#include "check_path.h"
#include "geometry/lwo_writer.h"
#include "geometry/motion_writer.h"
#include "kra_check_test_support.h"
#include "program_command.h"

namespace {

using KraCheck = KraCheckTest;

std::vector<uint8_t> TriangleLwo(bool with_second_triangle = false) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "tri");
  AddLwoPoint(layer, 0, 0, 0);
  AddLwoPoint(layer, 1, 0, 0);
  AddLwoPoint(layer, 0, 1, 0);
  AddLwoPoint(layer, 1, 1, 0);
  AddLwoPolygon(layer, {0, 1, 2}, "Skin");
  if (with_second_triangle) AddLwoPolygon(layer, {1, 3, 2}, "Skin");
  LwoWriterMap* light = AddLwoUvMap(layer, "Lightmap");
  AddLwoUv(light, 0, 0.5f, 0.5f);
  AddLwoSurface(&writer, "Skin", 1, 1, 1, "", 0);
  return WriteLwo(writer);
}

void WriteSceneFiles() {
  WriteFile("fish.lwo", TriangleLwo());
  WriteFile("fish_morph.lwo", TriangleLwo());
}

const char* const GOOD_SWAM =
    "<demo><scene>\n"
    "<loadlwo name=\"a\" filename=\"fish.lwo\" morphfile=\"fish_morph.lwo\"/>\n"
    "<CreateSphere name=\"b\" radius=\"1\" slices=\"6\"/>\n"
    "<loadlwo name=\"c\" filename=\"fish.lwo\" morphfile=\"fish_morph.lwo\"/>\n"
    "<object name=\"o1\" mesh=\"a\"><key time=\"0\" pos_x=\"1\"/><key time=\"1\" pos_x=\"2\"/></object>\n"
    "<object name=\"o2\" mesh=\"b\"/>\n"
    "<object name=\"o3\" mesh=\"c\"/>\n"
    "<camera><key time=\"0\" fov=\"40\"/></camera>\n"
    "</scene></demo>\n";

TEST_F(KraCheck, EmptyFolderReportsEveryFileMissing) {
  EXPECT_FALSE(CheckDemoData(&report_, ".", DemoSource::FOLDER));
  EXPECT_EQ(report_.problem_count, 20);
  EXPECT_TRUE(Has("swim.xml: missing: the scene script of the 3D part \"swim\"\n"));
  EXPECT_TRUE(Has("mamma1.xml: missing"));
  EXPECT_TRUE(Has("swam.xml: missing"));
  EXPECT_TRUE(Has("zibo.mp3: missing"));
  EXPECT_TRUE(Has("presents.png: missing"));
}

TEST_F(KraCheck, DamagedArchiveSaysWhy) {
  WriteFile("autoexec.bat", std::string(3000, 'Z'));
  EXPECT_FALSE(CheckDemoData(&report_, ".", DemoSource::FOLDER));
  EXPECT_TRUE(Has("autoexec.bat: damaged data archive: no zip end-of-directory record")) << Output();
  EXPECT_FALSE(CheckDemoData(&report_, "autoexec.bat", DemoSource::ZIP));
  EXPECT_TRUE(Has("autoexec.bat: not a zip archive that opens: no zip end-of-directory record")) << Output();
}

TEST_F(KraCheck, ScriptsHeldAgainstTheirParts) {
  WriteSceneFiles();
  WriteFile("swam.xml", CrLf(GOOD_SWAM));
  // One mesh without a morph target where "swim" morphs its first mesh, one object short.
  WriteFile("swim.xml", CrLf("<demo><scene>\n<loadlwo name=\"a\" filename=\"fish.lwo\"/>\n"
                             "<CreateSphere name=\"b\" radius=\"1\" slices=\"3\"/>\n"
                             "<object name=\"o1\"/>\n</scene></demo>\n"));
  std::filesystem::create_directory("data");
  WriteFile("data/mamma1.xml", CrLf("<demo><scene>\n<CreateSphere name=\"b\" radius=\"1\" slices=\"3\"/>\n"
                                    "<object name=\"o1\"/><object name=\"o2\"/>\n</scene></demo>\n"));
  CheckDemoData(&report_, ".", DemoSource::FOLDER);
  std::string out = Output();
  EXPECT_TRUE(Has("swim.xml: the part needs 2 objects, the script defines 1\n")) << out;
  EXPECT_TRUE(Has("swim.xml: mesh 1 (\"a\") has no morph target; the part \"swim\" morphs it")) << out;
  EXPECT_TRUE(Has("mamma1.xml: the part needs 2 meshes, the script defines 1\n")) << out;
  EXPECT_EQ(out.find("swam.xml"), std::string::npos) << out;
  EXPECT_EQ(out.find("scene script of the 3D part"), std::string::npos) << out;
}

TEST_F(KraCheck, FatalScriptErrorsAreReportedWithTheirLineAndChecksGoOn) {
  WriteFile("bad.xml", CrLf("<demo><scene>\n<CreateSphere name=\"ball\" radius=\"1\" slices=\"4\"/>\n"
                            "<CreateSphere name=\"flat\" slices=\"4\"/>\n</scene></demo>\n"));
  WriteFile("broken.xml", CrLf("<demo><scene>\n<CreateSphere name=\"ball\" radius=\"1\" slices=\"4\">\n"
                               "</scene></demo>\n"));
  EXPECT_FALSE(CheckPath(&report_, "bad.xml"));
  EXPECT_FALSE(CheckPath(&report_, "broken.xml"));
  EXPECT_TRUE(Has("bad.xml:3: Error in XML: flat has incorrect radius\n")) << Output();
  EXPECT_TRUE(Has("broken.xml:3: XML syntax error: mismatched tag\n")) << Output();
  EXPECT_EQ(report_.problem_count, 2);
}

// The line that cannot be read is named by the message itself, not taken for the line of
// the element handled before it.
TEST_F(KraCheck, UnreadableScriptLineIsNotPinnedOnTheLastElement) {
  WriteFile("long.xml", CrLf("<demo><scene>\n<CreateSphere name=\"ball\" radius=\"1\" slices=\"4\"/>\n<!--" +
                             std::string(1100, 'x') + "-->\n</scene></demo>\n"));
  EXPECT_FALSE(CheckPath(&report_, "long.xml"));
  EXPECT_TRUE(Has("long.xml: ReadMemLine error!\n")) << Output();
  EXPECT_TRUE(Has("line 3: line does not fit")) << Output();
  EXPECT_FALSE(Has("long.xml:2:")) << Output();
}

TEST_F(KraCheck, ScriptProblemsThatDoNotStopTheLoad) {
  WriteFile("short.mot", std::string("SMOT\x02\0\0\0\x05\0\0\0\0\0\0\0", 16));
  WriteFile("order.xml",
            CrLf("<demo><scene>\n<CreateSphere name=\"ball\" radius=\"1\" slices=\"4\"/>\n"
                 "<object name=\"o\">\n<key time=\"2\" pos_x=\"1\"/>\n<key time=\"1\" pos_x=\"2\" curve=\"5\"/>\n"
                 "<key time=\"3\" pos_x=\"2\"/>\n</object>\n"
                 "<object name=\"p\" motion=\"short.mot\"/>\n"
                 "<newscene/>\n</scene></demo>\n"));
  EXPECT_FALSE(CheckPath(&report_, "order.xml"));
  std::string out = Output();
  EXPECT_TRUE(Has("order.xml: object \"o\": position key 2 at frame 30 comes after one at frame 60")) << out;
  EXPECT_TRUE(Has("order.xml: object \"o\": position key 2 has curve type 5")) << out;
  EXPECT_TRUE(Has("order.xml:8: motion file short.mot: Motion file short.mot is truncated")) << out;
  EXPECT_TRUE(Has("order.xml: <newscene> starts a scene of its own")) << out;
}

TEST_F(KraCheck, ScriptFilesAreFoundBesideTheScript) {
  std::filesystem::create_directory("content");
  WriteFile("content/fish.lwo", TriangleLwo());
  WriteFile("content/fish_morph.lwo", TriangleLwo());
  WriteFile("content/swam.xml", CrLf(GOOD_SWAM));
  report_.verbose = true;
  EXPECT_TRUE(CheckPath(&report_, "content/swam.xml")) << Output();
  EXPECT_TRUE(Has("content/swam.xml: scene script, 3 meshes, 3 objects, camera with 1 keys")) << Output();
  EXPECT_TRUE(Has("  mesh \"a\": 4 vertices, 1 triangles, 1 surface, morph target")) << Output();
  EXPECT_TRUE(Has("  object \"o1\" on mesh \"a\": keys: position 2,")) << Output();
}

TEST_F(KraCheck, DamagedObjectNamesChunkAndOffset) {
  std::vector<uint8_t> bytes = TriangleLwo();
  bytes[16] = 0x7f;  // the first chunk's size now runs past the file
  WriteFile("damaged.lwo", bytes);
  WriteFile("notlwo.lwo", std::string("FORMxxxxLWOBxxxx"));
  EXPECT_FALSE(CheckPath(&report_, "damaged.lwo"));
  EXPECT_TRUE(Has("damaged.lwo: ")) << Output();
  EXPECT_TRUE(Has("chunk at offset")) << Output();
  EXPECT_FALSE(CheckPath(&report_, "notlwo.lwo"));
  EXPECT_TRUE(Has("notlwo.lwo: FORM chunk at offset 0: not an LWO2 file (FORM type \"LWOB\")")) << Output();
}

TEST_F(KraCheck, GoodObjectInVerbose) {
  WriteFile("tri.lwo", TriangleLwo(true));
  report_.verbose = true;
  EXPECT_TRUE(CheckPath(&report_, "tri.lwo")) << Output();
  EXPECT_TRUE(Has("tri.lwo: LWO2 object, 4 points, 2 triangles, 1 surface\n")) << Output();
  EXPECT_TRUE(Has("  UV map \"Lightmap\": 1 entries (lightmap coordinates)")) << Output();
}

TEST_F(KraCheck, MotionFiles) {
  MotionWriter writer;
  MotionRecord record{};
  record.time = 10;
  AddMotionRecord(&writer, record);
  record.time = 5;
  AddMotionRecord(&writer, record);
  ASSERT_EQ(SaveMotionFile(writer, "backwards.mot"), 1);
  std::vector<uint8_t> bytes = MotionFileBytes(writer);
  bytes.resize(bytes.size() - 1);
  WriteFile("cut.mot", bytes);
  EXPECT_FALSE(CheckPath(&report_, "backwards.mot"));
  EXPECT_TRUE(Has("backwards.mot: position key 2 at frame 5 comes after one at frame 10")) << Output();
  EXPECT_FALSE(CheckPath(&report_, "cut.mot"));
  EXPECT_TRUE(Has("cut.mot: Motion file cut.mot is truncated: its header gives 2 keys but it holds 1 complete")) << Output();
}

TEST_F(KraCheck, ImagesAndUnknownData) {
  WriteFile("fake.png", std::string("\x89PNG\r\n\x1a\n and then nothing", 24));
  WriteFile("noise.bin", std::string(3000, '\x55'));
  EXPECT_FALSE(CheckPath(&report_, "fake.png"));
  EXPECT_TRUE(Has("fake.png: ")) << Output();
  EXPECT_FALSE(CheckPath(&report_, "noise.bin"));
  EXPECT_TRUE(Has("noise.bin: not a kind of file the demo reads")) << Output();
  EXPECT_FALSE(CheckPath(&report_, "nothere.png"));
  EXPECT_TRUE(Has("nothere.png: missing")) << Output();
}

// What stands where a data file should be is said as it is, and a name that holds escape
// sequences reaches the terminal escaped.
TEST_F(KraCheck, WhatStandsInsteadOfAFileIsSaidAndNamesAreEscaped) {
  std::filesystem::create_directories("data/texture.png");
  mkfifo("pipe.png", 0600);
  mkfifo("data/texture2.png", 0600);
  WriteFile("empty.png", "");
  WriteFile("end.png", "");
  {
    std::ofstream large("large.png", std::ios::binary);
    large.seekp((300ll << 20) - 1);
    large.put('\0');
  }
  std::filesystem::create_symlink(std::filesystem::absolute("large.png"), "data/zibo.png");
  const struct {
    std::string path;  // a file to check alone, or "" for the line of the demo's own check
    std::string said;
  } rows[] = {
      {"nothere.png", "nothere.png: missing\n"},
      {"pipe.png", "pipe.png: not a regular file (a FIFO)\n"},
      {"empty.png", "empty.png: empty\n"},
      {"large.png", "large.png: too large (over 256 MiB)\n"},
      {"\x1b[2J\x1b[31mevil.png", "\\e[2J\\e[31mevil.png: missing\n"},
      {"", "texture.png: data/texture.png is a directory: an image the demo draws\n"},
      {"", "texture2.png: data/texture2.png is not a regular file (a FIFO): an image the demo draws\n"},
      {"", "end.png: empty: an image the demo draws\n"},
      {"", "zibo.png: data/zibo.png is too large (over 256 MiB): an image the demo draws\n"},
      {"", "presents.png: missing: an image the demo draws\n"},
  };
  for (const auto& row : rows) {
    if (!row.path.empty()) EXPECT_FALSE(CheckPath(&report_, row.path)) << row.path;
  }
  EXPECT_FALSE(CheckDemoData(&report_, ".", DemoSource::FOLDER));
  for (const auto& row : rows) EXPECT_TRUE(Has(row.said)) << row.said << "\n" << Output();
  EXPECT_EQ(Output().find('\x1b'), std::string::npos) << Output();
  std::filesystem::remove("large.png");
}

TEST_F(KraCheck, FilesMadeByOtherTools) {
  std::string dir = KRA_TESTDATA_DIR;
  if (!std::filesystem::exists(dir + "/music/test.mod")) GTEST_SKIP() << "no test data";
  EXPECT_TRUE(CheckPath(&report_, dir + "/music/test.mod")) << Output();
  EXPECT_TRUE(CheckPath(&report_, dir + "/music/MEANDR90.mp3")) << Output();
  EXPECT_TRUE(CheckPath(&report_, dir + "/lwo2/boxuv.lwo")) << Output();
  EXPECT_TRUE(CheckPath(&report_, dir + "/png/basn6a08.png")) << Output();
  EXPECT_FALSE(CheckPath(&report_, dir + "/png/xs1n0g01.png"));
}

std::string ReadOutput() {
  std::string text;
  FILE* file = std::fopen("output.txt", "rb");
  if (!file) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

int RunKraCheck(const std::string& arguments) {
  std::string command = ProgramCommand("kra-check") + " " + arguments + " > output.txt 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(KraCheck, ProgramExitStatus) {
  WriteSceneFiles();
  WriteFile("swam.xml", CrLf(GOOD_SWAM));
  EXPECT_EQ(RunKraCheck("swam.xml fish.lwo"), 0);
  EXPECT_NE(ReadOutput().find("kra-check: all well (2 files checked)"), std::string::npos) << ReadOutput();
  EXPECT_EQ(RunKraCheck("swam.xml missing.png"), 1);
  std::filesystem::create_directory("empty");
  EXPECT_EQ(RunKraCheck("empty"), 1);  // nothing of the demo is there
  EXPECT_NE(ReadOutput().find("kra-check: 20 problems"), std::string::npos) << ReadOutput();
  EXPECT_EQ(RunKraCheck("--nonsense"), 2);  // a bad option, as in every program
}

// A name in a script can hold any character XML can escape: a line feed that would start a
// line of kra-check's own, a C1 CSI, a right-to-left override. None reaches the report raw.
TEST_F(KraCheck, NamesFromAScriptCannotForgeALine) {
  const std::string forged =
      "x&#10;kra-check: all well (20 files checked)&#13;&#x9B;31m&#x202E;.lwo";
  for (const char* element : {"<loadlwo name=\"a\" filename=\"", "<loadlwo name=\"a\" filename=\"fish.lwo\" morphfile=\""}) {
    WriteFile("forged.xml", CrLf(std::string("<demo><scene>\n") + element + forged + "\"/>\n</scene></demo>\n"));
    EXPECT_FALSE(CheckPath(&report_, "forged.xml"));
  }
  const std::string out = Output();
  EXPECT_EQ(out.find("\nkra-check: all well"), std::string::npos) << out;
  EXPECT_EQ(out.find('\r'), std::string::npos) << out;
  EXPECT_EQ(out.find("\xc2\x9b"), std::string::npos) << out;
  EXPECT_EQ(out.find("\xe2\x80\xae"), std::string::npos) << out;
  EXPECT_NE(out.find("x\\nkra-check: all well (20 files checked)\\x0d\\u009b31m\\u202e.lwo"), std::string::npos) << out;
}

}  // namespace
