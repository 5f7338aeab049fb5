#include "resource/data_archive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "resource_test_support.h"

namespace {

class DataArchiveTest : public ScratchDirTest {
 protected:
  void TearDown() override {
    CloseArchive(&archive_);
    ScratchDirTest::TearDown();
  }

  std::string ChunkText(MemChunk chunk) {
    std::string text(reinterpret_cast<const char*>(chunk.data), (size_t)chunk.size);
    FreeChunk(&chunk);
    return text;
  }

  // Loads path and returns what the load printed on stderr.
  std::string LoadPrinting(const char* path, MemChunk* chunk) {
    testing::internal::CaptureStderr();
    *chunk = LoadFile(&archive_, path);
    std::fflush(stderr);
    return testing::internal::GetCapturedStderr();
  }

  DataArchive archive_ = {};
};

TEST_F(DataArchiveTest, DiskFileWinsOverArchiveMember) {
  WriteBytes("a.txt", "disk");
  WriteZip("pack.zip", {{"a.txt", "zip"}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  EXPECT_EQ(ChunkText(LoadFile(&archive_, "a.txt")), "disk");
}

TEST_F(DataArchiveTest, DataDirectoryWinsOverArchiveAndPlainNameOverDataDirectory) {
  WriteBytes("data/b.txt", "data dir");
  WriteBytes("c.txt", "plain");
  WriteBytes("data/c.txt", "data dir");
  WriteZip("pack.zip", {{"b.txt", "zip"}, {"c.txt", "zip"}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  EXPECT_EQ(ChunkText(LoadFile(&archive_, "b.txt")), "data dir");
  EXPECT_EQ(ChunkText(LoadFile(&archive_, "c.txt")), "plain");
}

TEST_F(DataArchiveTest, ArchiveMemberFoundInAnyLetterCase) {
  WriteZip("pack.zip", {{"Zibo.PNG", "member bytes"}, {"stored.txt", "stored", false}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  MemChunk chunk = LoadFile(&archive_, "zIBO.png");
  EXPECT_STREQ(chunk.name, "zIBO.png");
  EXPECT_EQ(chunk.pos, 0);
  EXPECT_EQ(ChunkText(chunk), "member bytes");
  EXPECT_EQ(ChunkText(LoadFile(&archive_, "STORED.TXT")), "stored");
}

TEST_F(DataArchiveTest, MissingFileWithoutArchiveIsEmptyAndSilent) {
  MemChunk chunk;
  EXPECT_EQ(LoadPrinting("nothing.png", &chunk), "");
  EXPECT_EQ(chunk.size, 0);
  EXPECT_EQ(chunk.data, nullptr);
  EXPECT_STREQ(chunk.name, "nothing.png");
}

TEST_F(DataArchiveTest, MissingFileWithArchivePrintsNotFoundOnce) {
  WriteZip("pack.zip", {{"a.txt", "zip"}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  MemChunk chunk;
  EXPECT_EQ(LoadPrinting("nothing.png", &chunk), "\nFile nothing.png not found!\n");
  EXPECT_EQ(chunk.size, 0);
  EXPECT_EQ(chunk.data, nullptr);
}

TEST_F(DataArchiveTest, DiskOnlyModeNeverAsksTheArchive) {
  WriteZip("pack.zip", {{"a.txt", "zip"}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  archive_.search_mode = SEARCH_DISK_ONLY;
  MemChunk chunk;
  EXPECT_EQ(LoadPrinting("a.txt", &chunk), "");
  EXPECT_EQ(chunk.size, 0);
}

TEST_F(DataArchiveTest, ArchiveOnlyModeIgnoresDisk) {
  WriteBytes("a.txt", "disk");
  WriteZip("pack.zip", {{"a.txt", "zip"}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  archive_.search_mode = SEARCH_ARCHIVE_ONLY;
  EXPECT_EQ(ChunkText(LoadFile(&archive_, "a.txt")), "zip");
}

TEST_F(DataArchiveTest, FailedOpenKeepsThePreviousArchive) {
  WriteZip("pack.zip", {{"a.txt", "zip"}});
  WriteBytes("not_a_zip.bin", "plain bytes, no zip directory here");
  EXPECT_EQ(OpenArchive(&archive_, "missing.zip"), 0);
  EXPECT_EQ(archive_.is_open, 0);
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  EXPECT_EQ(OpenArchive(&archive_, "not_a_zip.bin"), 0);
  EXPECT_EQ(archive_.is_open, 1);
  EXPECT_EQ(ChunkText(LoadFile(&archive_, "a.txt")), "zip");
}

TEST_F(DataArchiveTest, LaterOpenReplacesTheArchive) {
  WriteZip("first.zip", {{"one.txt", "1"}});
  WriteZip("second.zip", {{"two.txt", "2"}});
  ASSERT_EQ(OpenArchive(&archive_, "first.zip"), 1);
  ASSERT_EQ(OpenArchive(&archive_, "second.zip"), 1);  // the sanitizer build sees a leaked handle
  EXPECT_EQ(ChunkText(LoadFile(&archive_, "two.txt")), "2");
  MemChunk chunk;
  EXPECT_EQ(LoadPrinting("one.txt", &chunk), "\nFile one.txt not found!\n");
}

TEST_F(DataArchiveTest, LongNameIsLookedUpWholeAndStoredTruncated) {
  std::string long_name = "a_file_name_well_beyond_the_31_characters.txt";
  WriteBytes(long_name, "long");
  WriteZip("pack.zip", {{"zipped_" + long_name, "zipped long"}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  MemChunk chunk = LoadFile(&archive_, long_name.c_str());
  EXPECT_EQ(std::strlen(chunk.name), 31u);
  EXPECT_EQ(std::string(chunk.name), long_name.substr(0, 31));
  EXPECT_EQ(ChunkText(chunk), "long");
  EXPECT_EQ(ChunkText(LoadFile(&archive_, ("ZIPPED_" + long_name).c_str())), "zipped long");
}

TEST_F(DataArchiveTest, CorruptMemberGivesEmptyChunkAndNamesArchiveAndMember) {
  std::string text(1000, 'x');
  WriteZip("pack.zip", {{"bad.txt", text, false}});
  std::string zip = ReadBytes("pack.zip");
  size_t at = zip.find(text);
  ASSERT_NE(at, std::string::npos);
  zip[at + 500] = 'y';  // stored data no longer matches its CRC
  WriteBytes("pack.zip", zip);
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  MemChunk chunk;
  std::string printed = LoadPrinting("bad.txt", &chunk);
  EXPECT_EQ(chunk.size, 0);
  EXPECT_EQ(chunk.data, nullptr);
  EXPECT_NE(printed.find("bad.txt"), std::string::npos) << printed;
  EXPECT_NE(printed.find("pack.zip"), std::string::npos) << printed;
  EXPECT_NE(printed.find("CRC"), std::string::npos) << printed;
}

TEST_F(DataArchiveTest, MemberShorterThanItsClaimedSizeGivesEmptyChunk) {
  WriteZip("pack.zip", {{"short.txt", "only twenty bytes!!!", false}});
  std::string zip = ReadBytes("pack.zip");
  // Claim 40 bytes in both headers, so the member opens but cannot deliver them.
  for (size_t at : FindSignatures(zip, 0x04034b50)) WriteLe32(&zip, at + 22, 40);
  for (size_t at : FindSignatures(zip, 0x02014b50)) WriteLe32(&zip, at + 24, 40);
  WriteBytes("pack.zip", zip);
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  MemChunk chunk;
  std::string printed = LoadPrinting("short.txt", &chunk);
  EXPECT_EQ(chunk.size, 0);
  EXPECT_NE(printed.find("short.txt"), std::string::npos) << printed;
}

TEST_F(DataArchiveTest, AbsurdMemberSizeIsRefusedBeforeAllocating) {
  WriteZip("pack.zip", {{"huge.txt", "tiny really"}});
  std::string zip = ReadBytes("pack.zip");
  for (size_t at : FindSignatures(zip, 0x02014b50)) WriteLe32(&zip, at + 24, 0xF0000000u);
  WriteBytes("pack.zip", zip);
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  MemChunk chunk;
  std::string printed = LoadPrinting("huge.txt", &chunk);
  EXPECT_EQ(chunk.size, 0);
  EXPECT_NE(printed.find("256 MiB"), std::string::npos) << printed;
  EXPECT_NE(printed.find("pack.zip"), std::string::npos) << printed;
}

TEST_F(DataArchiveTest, FileSizeOfDiskFileAndOfLocatedMember) {
  WriteBytes("disk.bin", std::string(1234, 'd'));
  WriteZip("pack.zip", {{"member.bin", std::string(777, 'm')}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  EXPECT_EQ(FileSize(&archive_, "disk.bin"), 1234);
  ASSERT_EQ(unzLocateFile(archive_.zip, "MEMBER.bin", 2), UNZ_OK);
  EXPECT_EQ(FileSize(&archive_, "member.bin"), 777);
  archive_.search_mode = SEARCH_DISK_ONLY;
  EXPECT_EQ(FileSize(&archive_, "member.bin"), 0);
}

TEST_F(DataArchiveTest, GlobalArchiveServesTheShortForm) {
  WriteZip("autoexec.bat", {{"title.png", "png bytes"}});
  ASSERT_EQ(OpenArchive(&g_data_archive, "autoexec.bat"), 1);
  EXPECT_EQ(ChunkText(LoadFile("TITLE.png")), "png bytes");
  CloseArchive(&g_data_archive);
  EXPECT_EQ(g_data_archive.is_open, 0);
  EXPECT_EQ(LoadFile("title.png").size, 0);
}

}  // namespace
