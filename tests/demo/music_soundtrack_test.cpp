// The soundtrack kra-assets packs into the build's archive, decoded as the demo plays it.
// Skipped when the archive has not been made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/audio_source.h"
#include "audio/audio_test_media.h"
#include "resource/data_archive.h"

namespace {

using namespace audio_test;

constexpr int kRate = 44100;
constexpr int64_t kSongFrames = 120 * kRate;  // 66 bars at 132 beats a minute

class SoundtrackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DataArchive archive{};
    archive.search_mode = SEARCH_ARCHIVE_ONLY;
    const std::string path = std::string(KRA_BINARY_DIR) + "/autoexec.bat";
    if (!OpenArchive(&archive, path.c_str())) GTEST_SKIP() << "no " << path << " (build kra_data)";
    MemChunk chunk = LoadFile(&archive, "zibo.mp3");
    CloseArchive(&archive);
    if (chunk.size == 0) GTEST_SKIP() << "no zibo.mp3 in the archive";
    bytes.assign(chunk.data, chunk.data + chunk.size);
    delete[] chunk.data;
  }

  // The whole song decoded once, interleaved 16-bit.
  std::vector<int16_t> Decode() {
    std::unique_ptr<AudioSource> source = OpenMp3Source(bytes.data(), bytes.size());
    EXPECT_NE(source, nullptr);
    if (!source) return {};
    EXPECT_EQ(source->Rate(), kRate);
    std::vector<float> block(2 * 4096);
    std::vector<int16_t> out;
    for (int n; (n = source->Read(block.data(), 4096)) > 0;) {
      for (int i = 0; i < 2 * n; ++i) out.push_back(static_cast<int16_t>(std::lrint(std::clamp(block[i], -1.0f, 1.0f) * 32767)));
    }
    return out;
  }

  std::vector<uint8_t> bytes;
};

TEST_F(SoundtrackTest, IsAnUntaggedMpeg1LayerIIIStreamAt192Kbps) {
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1] & 0xFE, 0xFA);     // MPEG-1 layer III
  EXPECT_EQ(bytes[2] >> 4, 0xB);        // 192 kbit/s
  EXPECT_EQ((bytes[2] >> 2) & 3, 0);    // 44100 Hz
  EXPECT_NE(std::string(bytes.begin(), bytes.begin() + 3), "ID3");
  EXPECT_NE(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
}

// The full sections hold steady; the intro under the title cards and the ending under the
// end card are given room. (scripts/loudness meters the whole against its targets.)
TEST_F(SoundtrackTest, LastsTwoMinutesWithPeaksBelowFullScaleAndQuietIntroAndEnding) {
  const std::vector<int16_t> song = Decode();
  ASSERT_EQ(static_cast<int64_t>(song.size()), 2 * kSongFrames);  // the decoder trims the encoder's padding
  int peak = 0;
  for (int16_t v : song) peak = std::max(peak, std::abs(static_cast<int>(v)));
  EXPECT_LT(peak, 32767 * 0.95) << "clips or nearly";
  auto level = [&](int from_second) { return 20 * std::log10(Rms(song, int64_t{from_second} * kRate, 4 * kRate)); };
  std::vector<double> full;
  for (int at : {32, 40, 48, 56, 64, 84, 92, 100}) full.push_back(level(at));
  std::vector<double> sorted = full;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  for (double l : full) EXPECT_NEAR(l, median, 3.0);
  for (int at : {0, 4, 8}) EXPECT_LT(level(at), median - 4.0) << "intro at " << at << " s";
  EXPECT_LT(level(112), median - 3.0) << "ending";
}

TEST_F(SoundtrackTest, LoopsWithoutAClick) {
  const std::vector<int16_t> song = Decode();
  ASSERT_FALSE(song.empty());
  // The jump from the last frame to the first is no larger than the song's own steps near it.
  int largest_step_near_end = 0;
  const int64_t frames = static_cast<int64_t>(song.size() / 2);
  for (int64_t i = frames - kRate / 10; i + 1 < frames; ++i) {
    for (int c = 0; c < 2; ++c) largest_step_near_end = std::max(largest_step_near_end, std::abs(song[2 * (i + 1) + c] - song[2 * i + c]));
  }
  for (int c = 0; c < 2; ++c) EXPECT_LE(std::abs(song[c] - song[2 * (frames - 1) + c]), largest_step_near_end);
}

}  // namespace
