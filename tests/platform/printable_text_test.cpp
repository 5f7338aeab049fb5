// Text from data and the command line on its way to a terminal or a title: nothing in it
// may act on the terminal, and what it says stays readable.
#include <gtest/gtest.h>

#include <string>

#include "platform/load_problems.h"
#include "platform/printable_text.h"

namespace {

TEST(PrintableText, ControlCharactersAreEscapedAndTheRestKept) {
  const struct {
    std::string text;
    std::string printable;
    std::string one_line;
  } rows[] = {
      {"\x1b[2J\x1b[31mevil.png", "\\e[2J\\e[31mevil.png", "\\e[2J\\e[31mevil.png"},
      {"bell\a and nul", "bell\\x07 and nul", "bell\\x07 and nul"},
      {std::string("a\0b", 3), "a\\x00b", "a\\x00b"},
      {"tab\there\x7f", "tab\\there\\x7f", "tab\\there\\x7f"},
      {"C:\\Demos\\kra", "C:\\Demos\\kra", "C:\\Demos\\kra"},
      {"Parse error at line 15:\nunclosed token\n", "Parse error at line 15:\\nunclosed token\\n",
       "Parse error at line 15: unclosed token"},
      {"  two\r\n\r\n  lines  ", "  two\\x0d\\n\\x0d\\n  lines  ", "two lines"},
      {"h\xc3\xa6r \xe2\x86\x92 ok", "h\xc3\xa6r \xe2\x86\x92 ok", "h\xc3\xa6r \xe2\x86\x92 ok"},
      // C1 controls and bidirectional controls in UTF-8; bytes that are not UTF-8.
      {"\xc2\x9b" "31m", "\\u009b31m", "\\u009b31m"},
      {"gnp.\xe2\x80\xae" "exe", "gnp.\\u202eexe", "gnp.\\u202eexe"},
      {"\xe2\x81\xa6" "a\xe2\x81\xa9\xe2\x80\x8f", "\\u2066a\\u2069\\u200f", "\\u2066a\\u2069\\u200f"},
      {"\x9b" "31m \xc3", "\\x9b31m \\xc3", "\\x9b31m \\xc3"},
      {"\xe0\x80\xaf \xed\xa0\x80", "\\xe0\\x80\\xaf \\xed\\xa0\\x80", "\\xe0\\x80\\xaf \\xed\\xa0\\x80"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PrintableText(row.text), row.printable);
    EXPECT_EQ(OneLineText(row.text), row.one_line);
  }
  EXPECT_EQ(PrintableText("two\nlines\x1b", true), "two\nlines\\e");
}

// The sink keeps problems only while a collection is open, in order and on one line each,
// and counts them always.
TEST(LoadProblems, KeptOnlyWhileCollectingAndCountedAlways) {
  const int64_t before = LoadProblemsNoted();
  NoteLoadProblem("before.png", "not kept");
  StartLoadProblems();
  NoteLoadProblem("swim.xml", "Parse error at line 15:\nunclosed token\n");
  NoteLoadProblem("\x1b[2Jevil.png", "empty");
  const std::vector<LoadProblem> kept = TakeLoadProblems();
  NoteLoadProblem("after.png", "not kept");
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].file, "swim.xml");
  EXPECT_EQ(kept[0].reason, "Parse error at line 15: unclosed token");
  EXPECT_EQ(kept[1].file, "\\e[2Jevil.png");
  EXPECT_EQ(LoadProblemsNoted() - before, 4);
  EXPECT_TRUE(TakeLoadProblems().empty());
}

}  // namespace
