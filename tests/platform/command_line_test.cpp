// The one command-line parser of the demo and its tools: what it accepts and how it words
// what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/command_line.h"

namespace {

enum { kFrom = 1, kWindow, kHelp };
constexpr CommandOption kOptions[] = {{"from", true, kFrom}, {"window", false, kWindow}, {"help", false, kHelp}};

struct Parsed {
  bool ok;
  std::string error;
  double from = -1;
  int flags = 0;
  std::vector<std::string> rest;
};

Parsed Parse(const std::vector<std::string>& args) {
  Parsed p{};
  p.from = -1;
  p.ok = ParseCommandLine(
      args, kOptions,
      [&](int id, const char* value, std::string* why) {
        if (id == kFrom) return ParseNumberOption("from", value, 0, 116, &p.from, why);
        p.flags |= id == kWindow ? 1 : 2;
        return true;
      },
      &p.rest, &p.error);
  return p;
}

TEST(CommandLine, AcceptsAndRefusesAsTheProgramsSay) {
  const struct {
    std::vector<std::string> args;
    bool ok;
    std::string error;  // what the refusal says
    double from;
  } kCases[] = {
      {{"--from", "97"}, true, "", 97},
      {{"--from=0.5", "--window"}, true, "", 0.5},
      {{"-h"}, true, "", -1},
      {{"file.lwo", "--window", "other"}, true, "", -1},
      {{"--from", "nan"}, false, "--from: 'nan' is not a number", -1},
      {{"--from", "1e999"}, false, "--from: '1e999' is not a number", -1},
      {{"--from", "3x"}, false, "--from: '3x' is not a number", -1},
      {{"--from", "-1"}, false, "--from must be from 0 to 116", -1},
      {{"--from", "116.5"}, false, "--from must be from 0 to 116", -1},
      {{"--from"}, false, "--from needs a value", -1},
      {{"--bogus"}, false, "unknown option '--bogus'", -1},
      {{"--window=3"}, false, "unknown option '--window=3'", -1},
  };
  for (const auto& c : kCases) {
    const Parsed p = Parse(c.args);
    EXPECT_EQ(p.ok, c.ok) << c.args[0];
    EXPECT_EQ(p.error, c.error) << c.args[0];
    if (c.ok) EXPECT_EQ(p.from, c.from) << c.args[0];
  }
  const Parsed files = Parse({"file.lwo", "--window", "other"});
  EXPECT_EQ(files.rest, (std::vector<std::string>{"file.lwo", "other"}));
  EXPECT_EQ(files.flags, 1);
  EXPECT_EQ(Parse({"-h"}).flags, 2);
}

}  // namespace
