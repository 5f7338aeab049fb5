#include "resource/mem_chunk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fatal.h"

namespace {

// A chunk over a copy of text; freed by the fixture.
class MemChunkTest : public ::testing::Test {
 protected:
  MemChunk& Chunk(const std::string& text, const char* name = "script.xml") {
    FreeChunk(&chunk_);
    chunk_ = {};
    CopyNameField(chunk_.name, sizeof chunk_.name, name);
    chunk_.size = (int32_t)text.size();
    chunk_.data = text.empty() ? nullptr : new uint8_t[text.size()];
    if (!text.empty()) std::memcpy(chunk_.data, text.data(), text.size());
    return chunk_;
  }
  void TearDown() override { FreeChunk(&chunk_); }

  // Every line of the chunk as the scene loader reads them: until pos reaches size.
  std::vector<std::string> ReadAllLines(int32_t max) {
    std::vector<std::string> lines;
    std::vector<char> buffer((size_t)max);
    do {
      int32_t len = -1;
      ReadMemLine(&chunk_, buffer.data(), max, &len);
      lines.emplace_back(buffer.data());
    } while (chunk_.pos < chunk_.size);
    return lines;
  }

  MemChunk chunk_ = {};
};

TEST_F(MemChunkTest, MemReadCopiesUpToTheEnd) {
  MemChunk& c = Chunk("abcdef");
  char dst[8] = {};
  int32_t got = -1;
  MemRead(&c, dst, 4, &got);
  EXPECT_EQ(got, 4);
  EXPECT_EQ(std::string(dst, 4), "abcd");
  MemRead(&c, dst, 4, &got);
  EXPECT_EQ(got, 2);
  EXPECT_EQ(std::string(dst, 2), "ef");
  EXPECT_EQ(c.pos, 6);
  MemRead(&c, dst, 4, &got);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(c.pos, 6);
}

TEST_F(MemChunkTest, CrLfLinesLoseTheirCrAndLf) {
  MemChunk& c = Chunk("<a>\r\n\r\n<b/>\r\n");
  char line[64];
  int32_t len = -1;
  ReadMemLine(&c, line, sizeof line, &len);
  EXPECT_STREQ(line, "<a>");
  EXPECT_EQ(len, 4);  // bytes before the LF, CR included
  EXPECT_EQ(c.pos, 5);
  ReadMemLine(&c, line, sizeof line, &len);
  EXPECT_STREQ(line, "");
  ReadMemLine(&c, line, sizeof line, &len);
  EXPECT_STREQ(line, "<b/>");
  EXPECT_EQ(c.pos, c.size);
}

TEST_F(MemChunkTest, BareLfLinesKeepTheirLastCharacter) {
  Chunk("first\nsecond\n\nlast\n");
  EXPECT_EQ(ReadAllLines(64), (std::vector<std::string>{"first", "second", "", "last"}));
}

TEST_F(MemChunkTest, MixedLineEndsAndLastLineWithoutLineEnd) {
  Chunk("one\r\ntwo\nthree");
  EXPECT_EQ(ReadAllLines(64), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(chunk_.pos, chunk_.size);
}

TEST_F(MemChunkTest, LastLineOfCrOnlyLosesTheCr) {
  Chunk("one\r\nend\r");
  EXPECT_EQ(ReadAllLines(64), (std::vector<std::string>{"one", "end"}));
}

TEST_F(MemChunkTest, LongestAcceptedCrLfLineHasMaxMinusTwoCharacters) {
  const int32_t max = 16;
  std::string longest(max - 2, 'x');
  Chunk(longest + "\r\nnext\r\n");
  EXPECT_EQ(ReadAllLines(max), (std::vector<std::string>{longest, "next"}));
}

TEST_F(MemChunkTest, LongestAcceptedLastLineHasMaxMinusOneCharacters) {
  const int32_t max = 16;
  std::string longest(max - 1, 'x');
  Chunk("a\n" + longest);
  EXPECT_EQ(ReadAllLines(max), (std::vector<std::string>{"a", longest}));
  Chunk("a\n" + longest + "y");
  EXPECT_THROW(ReadAllLines(max), FatalError);
}

TEST_F(MemChunkTest, OneCharacterTooManyIsFatalNamingFileAndLine) {
  const int32_t max = 16;
  Chunk("ok\r\nfine\r\n" + std::string(max - 1, 'x') + "\r\n", "swim.xml");
  try {
    ReadAllLines(max);
    FAIL() << "no fatal error";
  } catch (const FatalError& e) {
    std::string message = e.what();
    EXPECT_EQ(message.rfind("ReadMemLine error!\n", 0), 0u) << message;
    EXPECT_NE(message.find("swim.xml"), std::string::npos) << message;
    EXPECT_NE(message.find("line 3"), std::string::npos) << message;
    EXPECT_EQ(e.status, 1);
    EXPECT_EQ(e.caption, "");
  }
}

TEST_F(MemChunkTest, EmptyChunkHasNoLineAndIsFatal) {
  MemChunk& c = Chunk("", "missing.xml");
  char line[64];
  int32_t len;
  try {
    ReadMemLine(&c, line, sizeof line, &len);
    FAIL() << "no fatal error";
  } catch (const FatalError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.xml"), std::string::npos);
    EXPECT_EQ(e.status, 1);
  }
}

TEST(CopyNameFieldTest, TruncatesToTheFieldAndAlwaysTerminates) {
  char field[8];
  std::memset(field, 'z', sizeof field);
  CopyNameField(field, sizeof field, "exactly7");
  EXPECT_STREQ(field, "exactly");
  CopyNameField(field, sizeof field, "short");
  EXPECT_STREQ(field, "short");
  CopyNameField(field, sizeof field, nullptr);
  EXPECT_STREQ(field, "");
}

}  // namespace
