// The sound of a whole capture: kra-capture run as a user runs it, in a fresh directory with
// the build's archive, writing --audio. Skipped without the tool or the archive.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio/audio_test_media.h"
#include "audio/audio_wav.h"
#include "program_command.h"

namespace fs = std::filesystem;

namespace {

using namespace audio_test;

constexpr int kRate = 44100;
constexpr int kFps = 10;

bool CaptureWav(const std::string& dir, const std::string& wav) {
  const std::string command = "cd " + dir + " && " + ProgramCommand("kra-capture") + " --quiet --fps " +
                              std::to_string(kFps) + " --audio " + wav + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST(MusicCapture, WholeDemoSoundsWindsDownAndIsTheSameTwice) {
  const fs::path tool = fs::path(KRA_BINARY_DIR) / "kra-capture";
  const fs::path archive = fs::path(KRA_BINARY_DIR) / "autoexec.bat";
  if (!fs::exists(tool) || !fs::exists(archive)) GTEST_SKIP() << "needs kra-capture and autoexec.bat";
  char pattern[] = "/tmp/kra_music_XXXXXX";
  const std::string dir = mkdtemp(pattern);
  fs::create_symlink(archive, fs::path(dir) / "autoexec.bat");

  ASSERT_TRUE(CaptureWav(dir, "one.wav"));
  ASSERT_TRUE(CaptureWav(dir, "two.wav"));
  EXPECT_TRUE(ReadFile(dir + "/one.wav") == ReadFile(dir + "/two.wav")) << "captures differ";

  WavData wav;
  std::string error;
  ASSERT_TRUE(ReadWavFile(dir + "/one.wav", &wav, &error)) << error;
  EXPECT_EQ(wav.rate, kRate);
  EXPECT_EQ(wav.channels, 2);
  const int64_t frames = static_cast<int64_t>(wav.samples.size() / 2);
  // 116 s of frames (4410 output frames each at 10 fps), then the 500 ms fade-out.
  const int64_t run = 1160 * (kRate / kFps);
  EXPECT_GE(frames, run + kRate / 2);
  EXPECT_LE(frames, run + kRate / 2 + 45);

  for (int64_t at = 0; at + kRate <= run; at += 5 * kRate) {
    EXPECT_GT(Rms(wav.samples, at, kRate), 0.02) << "silent at " << at / kRate << " s";
  }
  EXPECT_LT(Rms(wav.samples, frames - kRate / 100, kRate / 100), 0.003) << "not silent at the end";
  // The wind-down: the pitch falls, so the waveform crosses zero far less often at the end.
  const int early = ZeroCrossings(wav.samples, run, kRate / 10);
  const int late = ZeroCrossings(wav.samples, frames - kRate / 10, kRate / 10);
  EXPECT_GT(early, 3 * late) << early << " crossings early in the fade, " << late << " late";
  fs::remove_all(dir);
}

}  // namespace
