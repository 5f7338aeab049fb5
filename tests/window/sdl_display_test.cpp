// The SDL display on a real X server (Xvfb, started by scripts/test, named in
// KRA_TEST_X_DISPLAY), and the demo's behaviour where no display exists at all.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "demo/demo_test_support.h"
#include "demo/entry.h"
#include "display/display_window.h"
#include "platform/counter.h"
#include "platform/sdl_display.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"

extern char** environ;

namespace {

const char* TestXDisplay() { return std::getenv("KRA_TEST_X_DISPLAY"); }

std::string TempDir() {
  char path[] = "/tmp/kra_sdl_XXXXXX";
  return mkdtemp(path);
}

// Runs a program with extra environment settings (an empty value unsets) and returns its
// pid; its stderr goes to err_path.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
            const std::string& cwd, const std::string& err_path) {
  pid_t pid = fork();
  if (pid == 0) {
    for (const auto& [name, value] : env) {
      if (value.empty()) {
        unsetenv(name.c_str());
      } else {
        setenv(name.c_str(), value.c_str(), 1);
      }
    }
    if (chdir(cwd.c_str()) != 0) _exit(126);
    if (!err_path.empty() && !freopen(err_path.c_str(), "w", stderr)) _exit(126);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// Waits for the child up to the given time; kills it and fails past that.
int WaitFor(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << "the program did not end in time";
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool RunQuiet(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

TEST(NoDisplay, KraSaysSoAndExitsWithOne) {
  const std::string dir = TempDir();
  const std::string err = dir + "/stderr.txt";
  pid_t pid = Spawn({std::string(KRA_BINARY_DIR) + "/kra"},
                    {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}, {"SDL_AUDIODRIVER", "dummy"}},
                    dir, err);
  EXPECT_EQ(WaitFor(pid, std::chrono::seconds(30)), 1);
  EXPECT_NE(ReadBytes(err).find("kra: cannot open a 512x384 display: "), std::string::npos) << ReadBytes(err);
}

struct EscapeAfterFrames {
  int presented = 0;
  int send_at = 0;
  std::string display;
};

void SendEscapeOnce(void* user) {
  auto* state = static_cast<EscapeAfterFrames*>(user);
  if (++state->presented == state->send_at) {
    // Our own window by pid: another test's kra window may be on the same server.
    ASSERT_TRUE(RunQuiet("DISPLAY=" + state->display + " xdotool search --pid " + std::to_string(getpid()) +
                         " --name '^kra$' key --window %1 Escape"));
  }
}

TEST(SdlDisplay, OpensPresentsAndEndsWithZeroOnEscape) {
  if (!TestXDisplay()) GTEST_SKIP() << "no X server for real-window tests (scripts/test starts Xvfb)";
  if (!RunQuiet("command -v xdotool")) GTEST_SKIP() << "xdotool is not installed";
  setenv("DISPLAY", TestXDisplay(), 1);
  unsetenv("SDL_VIDEODRIVER");

  // The scene scripts, without which the demo ends at load time.
  const std::filesystem::path old_dir = std::filesystem::current_path();
  const std::string dir = TempDir();
  demo_test::WritePartScripts(dir);
  std::filesystem::current_path(dir);

  SdlDisplay display;
  VirtualCounter counter(60);
  EscapeAfterFrames state{0, 20, TestXDisplay()};
  SetFramePresentedHook(SendEscapeOnce, &state);

  const int status = RunDemo({.display = &display, .counter = &counter});
  SetFramePresentedHook(nullptr, nullptr);
  std::filesystem::current_path(old_dir);

  EXPECT_EQ(status, 0);
  EXPECT_GE(state.presented, state.send_at);
  // Only the Escape path closes the display: a run that ended on its own leaves it open.
  EXPECT_EQ(g_display_window.created, 0);
  EXPECT_LT(state.presented, 6000) << "the demo ran to its end: Escape was never seen";
  SDL_Quit();
}

TEST(SdlDisplay, KraProgramEndsWithZeroOnEscape) {
  if (!TestXDisplay()) GTEST_SKIP() << "no X server for real-window tests (scripts/test starts Xvfb)";
  if (!RunQuiet("command -v xdotool")) GTEST_SKIP() << "xdotool is not installed";
  const std::string dir = TempDir();
  demo_test::WritePartScripts(dir);
  const std::string display = TestXDisplay();
  pid_t pid = Spawn({std::string(KRA_BINARY_DIR) + "/kra"},
                    {{"DISPLAY", display}, {"SDL_VIDEODRIVER", ""}, {"SDL_AUDIODRIVER", "dummy"}}, dir,
                    dir + "/stderr.txt");
  // --sync waits until the window of that process exists, then sends the key to it. xdotool's
  // own status is not the test: the window may close between the key's press and its release,
  // which xdotool reports as an error. A key that never arrived leaves the program running.
  RunQuiet("DISPLAY=" + display + " timeout 30 xdotool search --sync --pid " + std::to_string(pid) +
           " --name '^kra$' key --window %1 Escape");
  EXPECT_EQ(WaitFor(pid, std::chrono::seconds(30)), 0) << ReadBytes(dir + "/stderr.txt");
}

// The player as a user meets it: a window from second 21 (mamma1, over a sky that data/
// replaces with a colour of its own), Space holding the picture, Right moving on while still
// paused, R taking a changed image from data/ at once, Escape ending with 0.
class PlayerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TestXDisplay()) GTEST_SKIP() << "no X server for real-window tests (scripts/test starts Xvfb)";
    if (!RunQuiet("command -v xdotool") || !RunQuiet("command -v import")) GTEST_SKIP() << "xdotool or ImageMagick missing";
    const std::filesystem::path archive = std::filesystem::path(KRA_BINARY_DIR) / "autoexec.bat";
    if (!std::filesystem::exists(archive)) GTEST_SKIP() << "no data archive: build kra_data";
    dir = TempDir();
    std::filesystem::create_symlink(archive, dir + "/autoexec.bat");
    std::filesystem::create_directory(dir + "/data");
    WriteSky(255, 0, 255);
  }
  void TearDown() override {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  void WriteSky(uint8_t r, uint8_t g, uint8_t b) { demo_test::WriteSolidPng(dir + "/data/bg_sky.png", 512, 384, r, g, b); }

  std::string X() const { return std::string("DISPLAY=") + TestXDisplay() + " "; }

  void Key(const std::string& key) {
    ASSERT_TRUE(RunQuiet(X() + "xdotool key --window " + window + " " + key)) << key;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
  }

  // The window's picture, and its colour near the frame's top-left corner (the sky).
  std::string Shot(uint32_t* corner) {
    const std::string path = dir + "/shot.png";
    EXPECT_TRUE(RunQuiet(X() + "import -window " + window + " " + path));
    const std::string bytes = ReadBytes(path);
    Texture image = DecodePng(LoadFile(path.c_str()));
    *corner = image.pixels ? image.pixels[static_cast<size_t>(image.height / 40) * image.width + image.width / 40] & 0xFFFFFF : 0;
    FreeTexture(&image);
    return bytes;
  }

  std::string dir, window;
  pid_t pid = -1;
};

TEST_F(PlayerWindow, PausesSeeksReloadsAndEnds) {
  pid = Spawn({std::string(KRA_BINARY_DIR) + "/kra", "--window", "--from", "21"},
              {{"DISPLAY", TestXDisplay()}, {"SDL_VIDEODRIVER", ""}, {"SDL_AUDIODRIVER", "dummy"}}, dir,
              dir + "/stderr.txt");
  const std::string ids = dir + "/window.txt";
  ASSERT_EQ(std::system((X() + "timeout 30 xdotool search --sync --pid " + std::to_string(pid) + " --name '^kra$' > " +
                         ids + " 2>/dev/null").c_str()),
            0)
      << ReadBytes(dir + "/stderr.txt");
  window = ReadBytes(ids).substr(0, ReadBytes(ids).find('\n'));
  std::this_thread::sleep_for(std::chrono::milliseconds(800));

  uint32_t corner = 0;
  Shot(&corner);
  EXPECT_EQ(corner, 0xFF00FFu) << "from second 21 the window shows mamma1's sky";

  Key("space");
  uint32_t ignored = 0;
  const std::string paused = Shot(&ignored);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_TRUE(Shot(&ignored) == paused) << "a paused picture moves";

  Key("Right");
  const std::string ahead = Shot(&corner);
  EXPECT_TRUE(ahead != paused) << "Right did not move on";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_TRUE(Shot(&ignored) == ahead) << "the player did not stay paused after Right";

  WriteSky(0, 255, 0);
  Key("r");
  Shot(&corner);
  EXPECT_EQ(corner, 0x00FF00u) << "R did not show the changed sky; stderr: " << ReadBytes(dir + "/stderr.txt");

  // The window may close between Escape's press and its release, which xdotool reports as an
  // error: only the program's exit counts here.
  RunQuiet(X() + "xdotool key --window " + window + " Escape");
  EXPECT_EQ(WaitFor(pid, std::chrono::seconds(30)), 0) << ReadBytes(dir + "/stderr.txt");
  pid = -1;
}

// A renderer's device reset takes its textures: the texture is made again, and the next frame
// goes up whole even when no row of it changed (a paused picture, an intro card).
TEST(SdlDisplay, ADeviceResetMakesTheTextureAgainAndTheNextFrameGoesUpWhole) {
  if (!TestXDisplay()) GTEST_SKIP() << "no X server for real-window tests (scripts/test starts Xvfb)";
  if (!RunQuiet("command -v xdotool") || !RunQuiet("command -v import")) GTEST_SKIP() << "xdotool or ImageMagick missing";
  setenv("DISPLAY", TestXDisplay(), 1);
  unsetenv("SDL_VIDEODRIVER");
  SdlDisplay display(true);
  ASSERT_EQ(OpenDisplay(&display, "kra_reset_test", 512, 384), 1) << display.LastError();
  const std::vector<uint32_t> frame(512 * 384, 0xFF8040u);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(PresentFrame(frame.data()), 1);  // shown, active
  SDL_Event reset{};
  reset.type = SDL_RENDER_DEVICE_RESET;
  ASSERT_EQ(SDL_PushEvent(&reset), 1);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(PresentFrameRows(frame.data(), 0, 0), 1);  // nothing changed
  const std::string shot = TempDir() + "/reset.png";
  ASSERT_TRUE(RunQuiet("import -window \"$(xdotool search --name '^kra_reset_test$' | head -1)\" " + shot));
  Texture image = DecodePng(LoadFile(shot.c_str()));
  ASSERT_NE(image.pixels, nullptr);
  EXPECT_EQ(image.pixels[static_cast<size_t>(image.height / 2) * image.width + image.width / 2] & 0xFFFFFFu, 0xFF8040u);
  FreeTexture(&image);
  CloseDisplay();
  SDL_Quit();
}

}  // namespace
