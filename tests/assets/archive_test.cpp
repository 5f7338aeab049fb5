// The archive writer and the tool as the build runs it: members come back whole with fixed
// dates, images are stored and text deflated, failures leave no half archive, the archive
// is the same bytes on every run, and the build's own archive is up to date.
#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets_test_support.h"
#include "pack/content.h"
#include "pack/zip_writer.h"
#include "program_command.h"

using namespace assets;

namespace {

struct ReadMember {
  std::vector<uint8_t> bytes;
  unz_file_info info;
  bool ok;
};

ReadMember ReadFromZip(const std::string& archive, const std::string& name) {
  ReadMember out = {{}, {}, false};
  unzFile zip = unzOpen(archive.c_str());
  if (!zip) return out;
  if (unzLocateFile(zip, name.c_str(), 2) == UNZ_OK &&
      unzGetCurrentFileInfo(zip, &out.info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK &&
      unzOpenCurrentFile(zip) == UNZ_OK) {
    out.bytes.resize(out.info.uncompressed_size);
    int got = unzReadCurrentFile(zip, out.bytes.data(), unsigned(out.bytes.size()));
    // unzCloseCurrentFile reports a CRC mismatch once the whole member has been read.
    out.ok = got == int(out.bytes.size()) && unzCloseCurrentFile(zip) == UNZ_OK;
  }
  unzClose(zip);
  return out;
}

std::vector<ArchiveMember> SmallMembers() {
  std::vector<uint8_t> text;
  for (int i = 0; i < 2000; ++i) text.push_back(uint8_t("<scene>\r\n"[i % 9]));
  return {{"picture.png", {0x89, 'P', 'N', 'G', 1, 2, 3}}, {"script.xml", text}, {"empty.xml", {}}};
}

std::string ToolPath() { return ProgramCommand("kra-assets"); }

int RunTool(const std::string& arguments) {
  std::string command = ToolPath() + " " + arguments + " >tool.out 2>tool.err";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ZipWriterTest : public ScratchDirTest {};
class ToolTest : public ScratchDirTest {};

}  // namespace

TEST_F(ZipWriterTest, MembersComeBackWholeInAnyLetterCase) {
  std::vector<ArchiveMember> members = SmallMembers();
  std::string error;
  ASSERT_TRUE(WriteZipArchive("a.zip", members, &error)) << error;
  for (const ArchiveMember& m : members) {
    std::string shouted = m.name;
    for (char& c : shouted) c = char(std::toupper(static_cast<unsigned char>(c)));
    ReadMember read = ReadFromZip("a.zip", shouted);
    ASSERT_TRUE(read.ok) << m.name;
    EXPECT_EQ(read.bytes, m.bytes) << m.name;
  }
  EXPECT_FALSE(std::filesystem::exists("a.zip.part"));
}

TEST_F(ZipWriterTest, StoresImagesAndDeflatesText) {
  std::string error;
  ASSERT_TRUE(WriteZipArchive("a.zip", SmallMembers(), &error)) << error;
  ReadMember picture = ReadFromZip("a.zip", "picture.png");
  ReadMember script = ReadFromZip("a.zip", "script.xml");
  ASSERT_TRUE(picture.ok && script.ok);
  EXPECT_EQ(picture.info.compression_method, 0u);
  EXPECT_EQ(script.info.compression_method, unsigned(Z_DEFLATED));
  EXPECT_LT(script.info.compressed_size, script.info.uncompressed_size / 10);
  EXPECT_TRUE(IsStoredFormat("ZIBO.MP3"));
  EXPECT_FALSE(IsStoredFormat("png"));  // a name, not an extension
}

TEST_F(ZipWriterTest, EveryMemberCarriesTheSameFixedDate) {
  std::string error;
  ASSERT_TRUE(WriteZipArchive("a.zip", SmallMembers(), &error)) << error;
  ReadMember first = ReadFromZip("a.zip", "picture.png");
  ReadMember last = ReadFromZip("a.zip", "empty.xml");
  ASSERT_TRUE(first.ok && last.ok);
  EXPECT_EQ(first.info.dosDate, last.info.dosDate);
  EXPECT_GE(first.info.tmu_date.tm_year, 1980u);  // a date a DOS directory can hold
}

TEST_F(ZipWriterTest, SameMembersGiveTheSameBytes) {
  std::string error;
  ASSERT_TRUE(WriteZipArchive("a.zip", SmallMembers(), &error)) << error;
  ASSERT_TRUE(WriteZipArchive("b.zip", SmallMembers(), &error)) << error;
  EXPECT_EQ(ReadBytes("a.zip"), ReadBytes("b.zip"));
}

TEST_F(ZipWriterTest, UnwritablePathFailsWithItsNameAndLeavesNothing) {
  std::string error;
  EXPECT_FALSE(WriteZipArchive("no/such/dir/a.zip", SmallMembers(), &error));
  EXPECT_NE(error.find("no/such/dir/a.zip"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists("no"));
}

TEST_F(ZipWriterTest, ReplacesAnOlderArchiveOnlyWhenTheNewOneIsComplete) {
  std::string error;
  ASSERT_TRUE(WriteZipArchive("a.zip", SmallMembers(), &error)) << error;
  std::vector<ArchiveMember> one = {{"only.xml", {'x', '\r', '\n'}}};
  ASSERT_TRUE(WriteZipArchive("a.zip", one, &error)) << error;
  EXPECT_TRUE(ReadFromZip("a.zip", "only.xml").ok);
  EXPECT_FALSE(ReadFromZip("a.zip", "script.xml").ok);
}

TEST_F(ToolTest, WritesTheSameArchiveEveryRunAndNoLooseFilesUnlessAsked) {
  ASSERT_EQ(RunTool("--archive data.zip"), 0);
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::directory_iterator(".")) entries.push_back(e.path().filename().string());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"data.zip", "tool.err", "tool.out"}));

  // Two runs, two processes, from another folder under another time zone, locale and umask:
  // the same archive, byte for byte, holding what --out writes.
  std::filesystem::create_directory("elsewhere");
  const std::string elsewhere = "cd elsewhere && umask 077 && TZ=Pacific/Kiritimati LANG=C.UTF-8 LC_ALL=C.UTF-8 ";
  ASSERT_EQ(std::system((elsewhere + ToolPath() + " --archive ../again.zip --out ../loose >/dev/null 2>&1").c_str()), 0);
  EXPECT_EQ(ReadBytes("data.zip"), ReadBytes("again.zip"));
  for (const ContentMaker& maker : ContentMakers()) {
    ReadMember member = ReadFromZip("data.zip", maker.file_name);
    ASSERT_TRUE(member.ok) << maker.file_name;
    EXPECT_EQ(member.bytes, ReadBytes(std::string("loose/") + maker.file_name)) << maker.file_name;
  }

  // And the archive the build left next to kra is what the current sources make.
  std::string built = std::string(KRA_BINARY_DIR) + "/autoexec.bat";
  if (std::filesystem::exists(built)) {
    EXPECT_EQ(ReadBytes("data.zip"), ReadBytes(built)) << built;
  }
}

TEST_F(ToolTest, BadRequestsFailWithAMessage) {
  EXPECT_EQ(RunTool("--frobnicate"), 2);
  EXPECT_EQ(RunTool("--archive"), 2);
  EXPECT_EQ(RunTool("--only zibo.png"), 2);  // --only writes loose files and needs --out
  EXPECT_EQ(RunTool("--out loose --only nothing.png"), 1);
  std::vector<uint8_t> err = ReadBytes("tool.err");
  EXPECT_NE(std::string(err.begin(), err.end()).find("nothing.png"), std::string::npos);
  EXPECT_EQ(RunTool("--archive no/such/dir/a.zip"), 1);
  EXPECT_FALSE(std::filesystem::exists("no"));
}

TEST_F(ToolTest, ListsWhatItMakes) {
  ASSERT_EQ(RunTool("--list"), 0);
  std::vector<uint8_t> out = ReadBytes("tool.out");
  std::string listing(out.begin(), out.end());
  for (const ContentMaker& maker : ContentMakers()) EXPECT_NE(listing.find(maker.file_name), std::string::npos);
}
