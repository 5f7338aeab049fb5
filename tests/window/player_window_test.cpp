// The player's seek bar and --watch in a real window on the test X server (Xvfb, named in
// KRA_TEST_X_DISPLAY), driven with xdotool as a user would: a click and a drag on the bar,
// a changed image in data/, and one caught half written.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "demo/demo_test_support.h"
#include "display/seek_bar.h"
#include "resource/data_archive.h"
#include "resource/png_encode.h"
#include "resource/png_texture.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* TestXDisplay() { return std::getenv("KRA_TEST_X_DISPLAY"); }

// A shell command's output (stderr dropped), trailing newline removed.
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
  }
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// Waits up to limit for done(); true when it came true.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

std::vector<uint8_t> SolidPng(uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < 512 * 384; ++i) rgb.insert(rgb.end(), {r, g, b});
  return EncodePngRows(rgb.data(), 512, 384, 3, 512 * 3, 1);
}

class PlayerBarWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TestXDisplay()) GTEST_SKIP() << "no X server for real-window tests (scripts/test starts Xvfb)";
    if (std::system("command -v xdotool >/dev/null && command -v import >/dev/null") != 0) {
      GTEST_SKIP() << "xdotool or ImageMagick missing";
    }
    const fs::path archive = fs::path(KRA_BINARY_DIR) / "autoexec.bat";
    if (!fs::exists(archive)) GTEST_SKIP() << "no data archive: build kra_data";
    char path[] = "/tmp/kra_bar_XXXXXX";
    dir = mkdtemp(path);
    fs::create_symlink(archive, dir + "/autoexec.bat");
    fs::create_directory(dir + "/data");
  }
  void TearDown() override {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  std::string X() const { return std::string("DISPLAY=") + TestXDisplay() + " "; }

  void Start(const std::vector<std::string>& args) {
    pid = fork();
    if (pid == 0) {
      setenv("DISPLAY", TestXDisplay(), 1);
      unsetenv("SDL_VIDEODRIVER");
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      if (chdir(dir.c_str()) != 0 || !freopen((dir + "/stderr.txt").c_str(), "w", stderr)) _exit(126);
      std::vector<char*> argv;
      const std::string program = std::string(KRA_BINARY_DIR) + "/kra";
      argv.push_back(const_cast<char*>(program.c_str()));
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    window = Output(X() + "timeout 30 xdotool search --sync --pid " + std::to_string(pid) + " --name '^kra' | head -1");
    ASSERT_FALSE(window.empty()) << ReadBytes(dir + "/stderr.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    // The frame's place in the window: scaled to fit, centred.
    const std::string geometry = Output(X() + "xdotool getwindowgeometry --shell " + window);
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(geometry.substr(geometry.find("WIDTH=")).c_str(), "WIDTH=%d\nHEIGHT=%d", &width, &height), 2)
        << geometry;
    scale = std::min(width / 512.0, height / 384.0);
    left = (width - 512 * scale) / 2;
    top = (height - 384 * scale) / 2;
  }

  // The window position of frame pixel (x, y)'s centre.
  std::string At(int x, int y) const {
    return std::to_string(static_cast<int>(left + (x + 0.5) * scale)) + " " +
           std::to_string(static_cast<int>(top + (y + 0.5) * scale));
  }

  void Do(const std::string& xdotool) {
    ASSERT_EQ(std::system((X() + "xdotool " + xdotool + " >/dev/null 2>&1").c_str()), 0) << xdotool;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  std::string Title() { return Output(X() + "xdotool getwindowname " + window); }

  // The second the paused title names, or -1.
  double PausedSecond() {
    const std::string title = Title();
    const size_t at = title.find("paused at ");
    return at == std::string::npos ? -1.0 : std::atof(title.c_str() + at + 10);
  }

  // The colour near the frame's top-left corner (the sky).
  uint32_t Corner() {
    const std::string shot = dir + "/shot.png";
    if (std::system((X() + "import -window " + window + " " + shot + " 2>/dev/null").c_str()) != 0) return 0;
    Texture image = DecodePng(LoadFile(shot.c_str()));
    const uint32_t pixel =
        image.pixels ? image.pixels[static_cast<size_t>(top + 10 * scale) * image.width + static_cast<size_t>(left + 10 * scale)] & 0xFFFFFF
                     : 0;
    FreeTexture(&image);
    return pixel;
  }

  // The window's picture, as a person sees it.
  Texture Screenshot() {
    const std::string shot = dir + "/shot.png";
    if (std::system((X() + "import -window " + window + " " + shot + " 2>/dev/null").c_str()) != 0) return {};
    return DecodePng(LoadFile(shot.c_str()));
  }

  // The frame a run draws at the second, from kra-capture at 60 frames a second: the one
  // frame within a hundredth of a second of it (frames are a sixtieth apart).
  Texture CapturedFrame(double second) {
    const std::string frames = dir + "/frames_" + std::to_string(second);
    char window_args[96];
    std::snprintf(window_args, sizeof window_args, " --fps 60 --from %.3f --to %.3f --quiet --frames ", second - 0.01,
                  second + 0.01);
    const std::string command =
        "cd " + dir + " && " + KRA_BINARY_DIR + "/kra-capture" + window_args + frames + " 2>/dev/null";
    if (std::system(command.c_str()) != 0 || fs::exists(frames + "/frame_000001.png")) return {};
    return DecodePng(LoadFile((frames + "/frame_000000.png").c_str()));
  }

  // Pixels of the window's picture that are not the frame scaled up with sharp pixels, as
  // the window scales it; -1 when either picture is missing.
  int64_t DifferencesFromFrame(const Texture& shot, const Texture& frame) {
    if (!shot.pixels || !frame.pixels) return -1;
    int64_t differ = 0;
    const int width = static_cast<int>(512 * scale), height = static_cast<int>(384 * scale);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const int sx = static_cast<int>(left) + x, sy = static_cast<int>(top) + y;
        if (sx >= shot.width || sy >= shot.height) return -1;
        const uint32_t seen = shot.pixels[static_cast<size_t>(sy) * shot.width + sx];
        const uint32_t drawn = frame.pixels[static_cast<size_t>(y / scale) * frame.width + static_cast<int>(x / scale)];
        differ += ((seen ^ drawn) & 0xFFFFFFu) != 0;
      }
    }
    return differ;
  }

  // The paused picture against the frame a run draws at the second the title names.
  void ExpectPausedPictureIsARunsFrame(const char* after) {
    const double second = PausedSecond();
    ASSERT_GE(second, 0.0) << after << ": " << Title();
    Texture shot = Screenshot();
    Texture frame = CapturedFrame(second);
    EXPECT_EQ(DifferencesFromFrame(shot, frame), 0) << after << ": " << Title();
    FreeTexture(&shot);
    FreeTexture(&frame);
  }

  std::string dir, window;
  pid_t pid = -1;
  double scale = 1.0, left = 0.0, top = 0.0;
};

constexpr float kDemoSeconds = 116.0f;
constexpr float kPixelSeconds = kDemoSeconds / (kSeekTrackRight - kSeekTrackLeft);
constexpr int kBarRow = 368;

TEST_F(PlayerBarWindow, AClickAndADragOnTheBarLandOnTheSecondUnderThePointer) {
  Start({"--window", "--from", "10"});
  Do("key --window " + window + " space");
  ASSERT_GE(PausedSecond(), 9.0) << Title();

  for (const float target : {60.0f, 20.0f, 80.0f, 113.0f}) {  // the middle, two chapter marks, near the end
    const int x = SeekBarX(target, kDemoSeconds);
    Do("mousemove --window " + window + " " + At(x, kBarRow) + " click 1");
    const double second = PausedSecond();
    EXPECT_NEAR(second, SeekBarTime(x, kDemoSeconds), kPixelSeconds + 1.0 / 60) << target << ": " << Title();
  }

  const int from = SeekBarX(30.0f, kDemoSeconds), to = SeekBarX(90.0f, kDemoSeconds);
  Do("mousemove --window " + window + " " + At(from, kBarRow) + " mousedown 1");
  Do("mousemove --window " + window + " " + At((from + to) / 2, kBarRow));
  EXPECT_NEAR(PausedSecond(), SeekBarTime((from + to) / 2, kDemoSeconds), kPixelSeconds + 1.0 / 60) << Title();
  Do("mousemove --window " + window + " " + At(to, kBarRow) + " mouseup 1");
  EXPECT_NEAR(PausedSecond(), SeekBarTime(to, kDemoSeconds), kPixelSeconds + 1.0 / 60) << Title();

  Do("mousemove --window " + window + " " + At(256, 100) + " click 1");
  EXPECT_EQ(Title(), "kra") << "a click on the picture did not resume";
}

TEST_F(PlayerBarWindow, WatchTakesAChangedImageAndOutlivesAHalfWrittenOne) {
  demo_test::WriteSolidPng(dir + "/data/bg_sky.png", 512, 384, 255, 0, 255);
  Start({"--window", "--watch", "--from", "21"});
  ASSERT_TRUE(WaitUntil([&] { return Corner() == 0xFF00FFu; }, std::chrono::seconds(5))) << "mamma1's sky from data/";

  // Saved whole (written aside, then renamed over).
  demo_test::WriteSolidPng(dir + "/data/new.png", 512, 384, 0, 255, 0);
  fs::rename(dir + "/data/new.png", dir + "/data/bg_sky.png");
  EXPECT_TRUE(WaitUntil([&] { return Corner() == 0x00FF00u; }, std::chrono::seconds(5)))
      << "the changed sky did not show; stderr: " << ReadBytes(dir + "/stderr.txt");

  // Saved in two writes a second apart: the first half is read, said to be broken, and the
  // demo plays on; the whole file is then taken.
  const std::vector<uint8_t> red = SolidPng(255, 0, 0);
  FILE* f = std::fopen((dir + "/data/bg_sky.png").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(red.data(), 1, red.size() / 2, f);
  std::fflush(f);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "kra ended on a half-written file";
  EXPECT_NE(ReadBytes(dir + "/stderr.txt").find("bg_sky.png"), std::string::npos) << ReadBytes(dir + "/stderr.txt");
  std::fwrite(red.data() + red.size() / 2, 1, red.size() - red.size() / 2, f);
  std::fclose(f);
  EXPECT_TRUE(WaitUntil([&] { return Corner() == 0xFF0000u; }, std::chrono::seconds(5)))
      << "the finished file did not show; stderr: " << ReadBytes(dir + "/stderr.txt");

  // A busy X server may refuse one xdotool call; the key is sent until the program has ended.
  int status = 0;
  bool ended = false;
  for (int tries = 0; tries < 3 && !ended; ++tries) {
    std::system((X() + "xdotool key --window " + window + " Escape >/dev/null 2>&1").c_str());
    ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(10));
  }
  EXPECT_TRUE(ended) << "Escape did not end kra";
  if (ended) pid = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(dir + "/stderr.txt");
}

// A person looks at the window, not at the frame buffer: after each way of reaching a paused
// moment its picture is, pixel for pixel, the frame kra-capture draws at the second the
// title names. A window without the focus plays on.
TEST_F(PlayerBarWindow, ThePausedPictureIsTheFrameARunShowsAndAWindowWithoutFocusPlaysOn) {
  Start({"--window"});
  Do("key --window " + window + " space");
  const struct {
    const char* keys;
  } steps[] = {{"Home Next Next"}, {"Next Next"}, {"period"}, {"Prior Left comma"}, {"r"}};
  for (const auto& step : steps) {
    Do("key --delay 200 --window " + window + " " + step.keys);
    ExpectPausedPictureIsARunsFrame(step.keys);
  }
  const std::string paused = Title();
  Do("key --window " + window + " r");
  EXPECT_EQ(Title(), paused) << "a reload while paused keeps the title";

  Do("key --window " + window + " space");
  std::FILE* other = popen((X() + "xmessage -name kra_other_window other 2>/dev/null").c_str(), "r");
  ASSERT_NE(other, nullptr);
  const std::string other_window = Output(X() + "timeout 10 xdotool search --sync --name kra_other_window | head -1");
  Do("windowfocus --sync " + other_window);
  std::vector<uint32_t> samples;
  for (int i = 0; i < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    Texture shot = Screenshot();
    uint64_t hash = 1469598103934665603ull;
    for (int p = 0; shot.pixels && p < shot.width * shot.height; ++p) hash = (hash ^ shot.pixels[p]) * 1099511628211ull;
    samples.push_back(static_cast<uint32_t>(hash));
    FreeTexture(&shot);
  }
  std::system((X() + "xdotool search --name kra_other_window windowkill >/dev/null 2>&1").c_str());
  pclose(other);
  EXPECT_NE(samples[0], samples[1]) << "the picture froze without the focus";
  EXPECT_NE(samples[1], samples[2]) << "the picture froze without the focus";
}

}  // namespace
