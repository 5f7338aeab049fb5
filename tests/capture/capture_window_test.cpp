// kra-capture's window on the demo's own data: --from S --to S keeps the one frame at S on
// whole seconds and part boundaries, a window between two frames is refused, the progress
// counts the frames kept, and an empty output name is refused.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "resource/resource_test_support.h"
#include "program_command.h"

namespace fs = std::filesystem;

namespace {

struct CaptureRun {
  int status;
  std::string output;
  int frames;  // PNG files written
};

class CaptureWindowTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    archive = fs::path(KRA_BINARY_DIR) / "autoexec.bat";
    if (!fs::exists(archive)) GTEST_SKIP() << "the build made no data archive";
    fs::create_symlink(archive, "autoexec.bat");
  }

  // kra-capture here with its frames in a fresh frames/; stdout and stderr together.
  CaptureRun Capture(const std::string& arguments) {
    fs::remove_all("frames");
    const std::string command =
        ProgramCommand("kra-capture") + " --frames frames " + arguments + " >log.txt 2>&1";
    const int raw = std::system(command.c_str());
    CaptureRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes("log.txt"), 0};
    if (fs::exists("frames")) {
      for (const auto& entry : fs::directory_iterator("frames")) run.frames += entry.path().extension() == ".png";
    }
    return run;
  }

  fs::path archive;
};

TEST_F(CaptureWindowTest, AWindowOfOneSecondKeepsTheFrameAtThatSecond) {
  // Whole seconds inside parts, the part boundaries (20, 29, 80) and both ends of the demo.
  for (int fps : {10, 60}) {
    for (const char* second : {"0.1", "10", "20", "29", "50", "80", "116"}) {
      SCOPED_TRACE(std::to_string(fps) + " fps at " + second);
      const CaptureRun run =
          Capture("--quiet --fps " + std::to_string(fps) + " --from " + second + " --to " + second);
      EXPECT_EQ(run.status, 0) << run.output;
      EXPECT_EQ(run.frames, 1) << run.output;
    }
  }
}

TEST_F(CaptureWindowTest, WindowsKeepTheirFramesOrSayWhyNot) {
  const struct {
    const char* arguments;
    int status;
    int frames;
    const char* said;
  } rows[] = {
      {"--fps 10 --from 50 --to 50.15", 0, 2, "frame 2 of 2 (100%)"},
      {"--fps 10 --from 0 --to 0.1", 0, 1, "kept 1 of 1 frames"},
      {"--fps 60 --from 19.98 --to 20.02", 0, 3, "frame 3 of 3 (100%)"},
      {"--fps 10 --from 10.01 --to 10.05", 2, 0, "kra-capture: no frame falls from 10.01 to 10.05 s"},
      {"--fps 10 --from 0 --to 0.05", 2, 0, "kra-capture: no frame falls from 0 to 0.05 s"},
      {"--fps 10 --from 10 --to 10 --audio ''", 2, 0, "kra-capture: --audio: an empty name"},
      {"--fps 10 --from 10 --to 10 --video ''", 2, 0, "kra-capture: --video: an empty name"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    const CaptureRun run = Capture(row.arguments);
    EXPECT_EQ(run.status, row.status) << run.output;
    EXPECT_EQ(run.frames, row.frames) << run.output;
    EXPECT_NE(run.output.find(row.said), std::string::npos) << run.output;
  }
  // An empty frames folder is refused too, before anything is written.
  const int raw = std::system((ProgramCommand("kra-capture") + " --frames '' >log.txt 2>&1").c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2);
  EXPECT_NE(ReadBytes("log.txt").find("--frames: an empty name"), std::string::npos) << ReadBytes("log.txt");
}

}  // namespace
