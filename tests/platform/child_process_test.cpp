// Programs started without a shell: found on the PATH, arguments passed as they are (spaces,
// quotes and shell characters included), input piped in, exit statuses returned.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/child_process.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("kra_child_" + std::to_string(getpid()) + "_" + name)).string();
}

TEST(ChildProcess, FindsProgramsOnThePath) {
  const struct {
    const char* name;
    bool found;
  } cases[] = {{"sh", true}, {"cat", true}, {"kra-no-such-program", false}, {"", false}};
  for (const auto& c : cases) EXPECT_EQ(ProgramOnPath(c.name), c.found) << c.name;
}

TEST(ChildProcess, RunProgramPassesArgumentsAsTheyAreAndReturnsTheStatus) {
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"sh", "-c", "exit 0"}, 0},
      {{"sh", "-c", "exit 3"}, 3},
      {{"sh", "-c", "kill -9 $$"}, -1},
      {{"kra-no-such-program"}, -1},
      {{"/kra/no/such/program"}, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(RunProgram(c.args), c.status) << c.args.back();
}

TEST(ChildProcess, ArgumentsArriveAsTheyAre) {
  const std::string out = TempPath("args.txt");
  const std::string awkward[] = {"a b", "it's", "\"quoted\"", "$HOME; echo x", "back\\slash\\", "", "*"};
  for (const std::string& arg : awkward) {
    EXPECT_EQ(RunProgram({"sh", "-c", "printf '%s' \"$1\" > \"$0\"", out, arg}), 0) << arg;
    EXPECT_EQ(ReadAll(out), arg);
  }
  std::filesystem::remove(out);
}

TEST(ChildProcess, InputPipeCarriesBytesAndTheStatusComesBack) {
  const std::string out = TempPath("out.bin");
  FILE* input = nullptr;
  std::string error;
  ChildProcess* child = StartWithInputPipe({"sh", "-c", "cat > \"$0\"; exit 5", out}, &input, &error);
  ASSERT_NE(child, nullptr) << error;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);  // every byte value, past a pipe's buffer
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), input), bytes.size());
  EXPECT_EQ(FinishChild(child), 5);
  EXPECT_TRUE(ReadAll(out) == bytes);
  std::filesystem::remove(out);
}

TEST(ChildProcess, AProgramThatIsNotThereIsNamed) {
  FILE* input = nullptr;
  std::string error;
  EXPECT_EQ(StartWithInputPipe({"kra-no-such-program", "x"}, &input, &error), nullptr);
  EXPECT_NE(error.find("kra-no-such-program"), std::string::npos) << error;
  EXPECT_EQ(FinishChild(nullptr), -1);
}

}  // namespace
