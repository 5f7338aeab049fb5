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
#include "platform/platform.h"
#include "platform/sdl_display.h"

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

std::string ReadFile(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

bool RunQuiet(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

TEST(NoDisplay, KraSaysSoAndExitsWithOne) {
  const std::string dir = TempDir();
  const std::string err = dir + "/stderr.txt";
  pid_t pid = Spawn({std::string(KRA_BINARY_DIR) + "/kra"},
                    {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}, {"SDL_AUDIODRIVER", "dummy"}},
                    dir, err);
  EXPECT_EQ(WaitFor(pid, std::chrono::seconds(30)), 1);
  EXPECT_NE(ReadFile(err).find("kra: cannot open a 512x384 display: "), std::string::npos) << ReadFile(err);
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
  g_platform.display = &display;
  g_platform.counter = &counter;
  EscapeAfterFrames state{0, 20, TestXDisplay()};
  SetFramePresentedHook(SendEscapeOnce, &state);

  const int status = RunDemo();
  SetFramePresentedHook(nullptr, nullptr);
  g_platform = Platform{};
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
  // --sync waits until the window of that process exists, then sends the key to it.
  const bool sent = RunQuiet("DISPLAY=" + display + " timeout 30 xdotool search --sync --pid " + std::to_string(pid) +
                             " --name '^kra$' key --window %1 Escape");
  EXPECT_TRUE(sent);
  EXPECT_EQ(WaitFor(pid, std::chrono::seconds(sent ? 30 : 1)), 0) << ReadFile(dir + "/stderr.txt");
}

}  // namespace
