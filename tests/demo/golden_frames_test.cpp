// The whole demo from the build's data archive, on virtual time at 30 frames a second, with
// chosen frames held against the checksums in golden_frames.txt: one or more in every part,
// at the part boundaries, in the two morph windows and in the ending. After an intended
// change of content or rendering, KRA_RENEW_GOLDEN=1 makes the test rewrite the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "demo/demo_state.h"
#include "demo/demo_test_support.h"
#include "demo/entry.h"
#include "audio/audio_offline.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "resource/png_encode.h"
#include "resource/resource_test_support.h"

namespace {

constexpr int kFps = 30;
// Demo seconds: intro; mamma1 (20-29); swim (29-80, its morph at part time 35-36 is demo
// ~64-65); swam (80-116, morph back at part time 23-24 is demo ~103-104, end card from ~108).
const double kTimes[] = {2.5,  12.0, 20.1, 21.0, 25.0,  29.1,  40.0,  50.0,  64.5,
                         66.0, 80.1, 95.5, 97.0, 103.5, 105.0, 108.5, 112.0, 115.9};
const std::string kGoldenFile = std::string(KRA_SOURCE_DIR) + "/tests/demo/golden_frames.txt";

struct Shot {
  float clock = 0;
  unsigned long long checksum = 0;  // FNV-1a 64 of the R, G, B bytes (the fourth means nothing)
  std::vector<uint8_t> rgb;         // for the picture of a frame that does not match
};

void Keep(const HeadlessFrame& frame, Shot* shot) {
  shot->clock = g_demo.clock.seconds;
  shot->checksum = 14695981039346656037ull;
  for (int y = 0; y < frame.height; ++y) {
    const uint8_t* row = frame.bytes + static_cast<size_t>(y) * frame.pitch;
    for (int x = 0; x < frame.width; ++x) {
      for (int c : {2, 1, 0}) {
        shot->rgb.push_back(row[4 * x + c]);
        shot->checksum = (shot->checksum ^ row[4 * x + c]) * 1099511628211ull;
      }
    }
  }
}

// Lines "index clock checksum"; '#' starts a comment line.
std::map<int64_t, unsigned long long> ReadGolden() {
  std::map<int64_t, unsigned long long> golden;
  std::ifstream in(kGoldenFile);
  for (std::string line; std::getline(in, line);) {
    long long index;
    double clock;
    unsigned long long checksum;
    if (line[0] != '#' && std::sscanf(line.c_str(), "%lld %lf %llx", &index, &clock, &checksum) == 3) {
      golden[index] = checksum;
    }
  }
  return golden;
}

void WriteGolden(const std::map<int64_t, Shot>& shots) {
  FILE* out = std::fopen(kGoldenFile.c_str(), "w");
  ASSERT_NE(out, nullptr) << kGoldenFile;
  std::fprintf(out, "# Frame index, demo clock (s), FNV-1a 64 of the frame's RGB bytes; the demo at %d fps.\n"
               "# Renew: KRA_RENEW_GOLDEN=1 ./kra_demo_tests --gtest_filter='GoldenFrames.*'\n", kFps);
  for (const auto& [index, shot] : shots) {
    std::fprintf(out, "%lld %.4f %016llx\n", static_cast<long long>(index), shot.clock, shot.checksum);
  }
  std::fclose(out);
}

std::string WriteFailedFrame(int64_t index, const Shot& shot) {
  const std::filesystem::path dir = std::filesystem::path(KRA_BINARY_DIR) / "golden_failures";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / ("frame_" + std::to_string(index) + ".png")).string();
  const std::vector<uint8_t> png = EncodePngRows(shot.rgb.data(), 512, 384, 3, 512 * 3, 6);
  WriteBytes(path, std::string(png.begin(), png.end()));
  return path;
}

using GoldenFrames = demo_test::BuildArchiveTest;

TEST_F(GoldenFrames, WholeDemoMatchesItsChecksums) {
  std::map<int64_t, Shot> shots;
  for (double t : kTimes) shots[static_cast<int64_t>(t * kFps + 0.5) - 1] = {};
  HeadlessDisplayConfig config;
  config.accepted_bits = {32};
  HeadlessDisplay display(config);
  VirtualCounter counter(kFps);
  OfflineAudioDevice audio;
  const Platform platform{.display = &display, .counter = &counter, .audio = &audio};
  display.SetFrameSink([&](const HeadlessFrame& frame) {
    if (auto shot = shots.find(frame.index); shot != shots.end()) Keep(frame, &shot->second);
  });
  ASSERT_EQ(RunDemo(platform), 0);

  if (const char* renew = std::getenv("KRA_RENEW_GOLDEN"); renew && std::string(renew) == "1") {
    WriteGolden(shots);
    std::printf("renewed %s\n", kGoldenFile.c_str());
    return;
  }
  const std::map<int64_t, unsigned long long> golden = ReadGolden();
  for (const auto& [index, shot] : shots) {
    ASSERT_FALSE(shot.rgb.empty()) << "frame " << index << " was never presented";
    auto expected = golden.find(index);
    if (expected == golden.end()) {
      ADD_FAILURE() << "no checksum for frame " << index << " in " << kGoldenFile << "; renew with KRA_RENEW_GOLDEN=1";
    } else if (expected->second != shot.checksum) {
      ADD_FAILURE() << "frame " << index << " at " << shot.clock << " s differs from its checksum; got "
                    << WriteFailedFrame(index, shot);
    }
  }
}

}  // namespace
