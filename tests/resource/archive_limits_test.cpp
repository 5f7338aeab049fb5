// Archive members that would make a read cost far more than their bytes (overlapping data,
// size claims the data cannot hold), members we cannot read (encrypted), and folders named
// like data files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/load_problems.h"
#include "resource/data_archive.h"
#include "resource_test_support.h"

namespace {

class ArchiveLimitsTest : public ScratchDirTest {
 protected:
  void TearDown() override {
    CloseArchive(&archive_);
    ScratchDirTest::TearDown();
  }

  // Writes bytes as pack.zip, opens it and loads member: what the load printed, and the size.
  std::string Load(const std::string& bytes, const char* member, int32_t* size) {
    WriteBytes("pack.zip", bytes);
    CloseArchive(&archive_);
    EXPECT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
    return Read(member, size);
  }

  // Loads member from the open archive: what the load printed, and the size.
  std::string Read(const char* member, int32_t* size) {
    testing::internal::CaptureStderr();
    MemChunk chunk = LoadFile(&archive_, member);
    *size = chunk.size;
    FreeChunk(&chunk);
    return testing::internal::GetCapturedStderr();
  }

  std::string Zip(const std::vector<ZipMember>& members) {
    WriteZip("made.zip", members);
    return ReadBytes("made.zip");
  }

  DataArchive archive_ = {};
};

TEST_F(ArchiveLimitsTest, ImpossibleOrUnreadableMembersAreRefusedBeforeReading) {
  // Each case sets one field of the local header, at `field`, and of the central entry, two
  // bytes further on, in an archive of one member "m.bin".
  const struct {
    const char* name;
    size_t field;
    uint32_t value;
    bool deflate;
    const char* why;
  } cases[] = {
      {"stored claim", 22, 256u << 20, false, "stored, but its two sizes differ"},  // a fuzzer's 111-byte archive
      {"deflate claim", 22, 200u << 20, true, "claims more bytes than deflate can pack"},
      {"encrypted", 6, 1, true, "encrypted, and the demo cannot decrypt it"},  // the flags
  };
  for (const auto& c : cases) {
    std::string bytes = Zip({{"m.bin", std::string(300, 'q'), c.deflate}});
    int32_t size = -1;
    Load(bytes, "m.bin", &size);
    ASSERT_EQ(size, 300) << c.name << ": read whole before the damage";
    for (size_t at : {FindSignatures(bytes, 0x04034b50)[0] + c.field, FindSignatures(bytes, 0x02014b50)[0] + c.field + 2}) {
      for (int i = 0; i < (c.field == 6 ? 2 : 4); ++i) bytes[at + i] = char(c.value >> (8 * i));
    }
    StartLoadProblems();
    std::string printed = Load(bytes, "m.bin", &size);
    const std::vector<LoadProblem> problems = TakeLoadProblems();
    EXPECT_EQ(size, 0) << c.name;
    EXPECT_NE(printed.find("File m.bin in archive pack.zip cannot be read: "), std::string::npos) << printed;
    // A reload names the archive as the damaged file, with the member it cannot give.
    ASSERT_EQ(problems.size(), 1u) << c.name;
    EXPECT_EQ(problems[0].file, "pack.zip") << c.name;
    EXPECT_EQ(problems[0].reason.rfind("m.bin cannot be read from it: ", 0), 0u) << problems[0].reason;
    EXPECT_NE(printed.find(c.why), std::string::npos) << c.name << ": " << printed;
  }
}

// A fuzzer's zip bomb: many names for the same few deflate streams. Both names of shared
// data are refused; a member of its own is still read.
TEST_F(ArchiveLimitsTest, MembersSharingDataAreRefused) {
  const std::string same(5000, 'z');
  std::string bytes = Zip({{"a.bin", same}, {"b.bin", same}, {"c.bin", "alone"}});
  const std::vector<size_t> central = FindSignatures(bytes, 0x02014b50);
  ASSERT_EQ(central.size(), 3u);
  WriteLe32(&bytes, central[1] + 42, ReadLe32(bytes, central[0] + 42));  // b's entry points at a's data
  int32_t size = -1;
  for (const char* name : {"a.bin", "b.bin"}) {
    std::string printed = Load(bytes, name, &size);
    EXPECT_EQ(size, 0) << name;
    EXPECT_NE(printed.find("overlaps another member's"), std::string::npos) << name << ": " << printed;
  }
  Load(bytes, "c.bin", &size);
  EXPECT_EQ(size, 5);
}

TEST_F(ArchiveLimitsTest, AnArchiveGivesOutABoundedTotal) {
  std::string bytes = Zip({{"m.bin", "0123456789"}});
  int32_t size = -1;
  Load(bytes, "m.bin", &size);
  EXPECT_EQ(size, 10);
  EXPECT_EQ(archive_.inflated, 10);
  archive_.inflated = MAX_ARCHIVE_INFLATED - 9;  // as after many loads
  std::string printed = Read("m.bin", &size);
  EXPECT_EQ(size, 0);
  EXPECT_NE(printed.find("given out all it may"), std::string::npos) << printed;
}

// A folder named like a data file was taken for a 256 MiB file and hid the real one.
TEST_F(ArchiveLimitsTest, FoldersNamedLikeDataFilesAreNotFiles) {
  WriteZip("pack.zip", {{"presents.png", "from the archive"}, {"zibo.png", "zibo from the archive"}});
  ASSERT_EQ(OpenArchive(&archive_, "pack.zip"), 1);
  std::filesystem::create_directories("presents.png");
  WriteBytes("data/presents.png", "from data");
  std::filesystem::create_directories("zibo.png");
  std::filesystem::create_directories("data/zibo.png");
  testing::internal::CaptureStderr();
  MemChunk presents = LoadFile(&archive_, "presents.png");
  MemChunk zibo = LoadFile(&archive_, "zibo.png");
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::string((const char*)presents.data, (size_t)presents.size), "from data");
  EXPECT_EQ(std::string((const char*)zibo.data, (size_t)zibo.size), "zibo from the archive");
  EXPECT_EQ(printed, "");
  FreeChunk(&presents);
  FreeChunk(&zibo);
  // A folder is no archive either.
  EXPECT_EQ(OpenArchive(&archive_, "presents.png"), 0);
}

}  // namespace
