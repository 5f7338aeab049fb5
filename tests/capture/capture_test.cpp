// kra-capture as a user runs it: options, the time window, the files it writes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <minizip/unzip.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "demo/demo_test_support.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"
#include "program_command.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string output;
};

std::string NewDir() {
  char dir[] = "/tmp/kra_frames_XXXXXX";
  return mkdtemp(dir);
}

// Runs kra-capture in the working directory cwd; stdout and stderr together in the output.
Result RunCaptureIn(const std::string& cwd, const std::string& arguments) {
  const std::string log = cwd + "/log.txt";
  const std::string command = "cd " + cwd + " && " + ProgramCommand("kra-capture") + " " + arguments + " >" + log + " 2>&1";
  const int raw = std::system(command.c_str());
  Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ""};
  if (FILE* f = std::fopen(log.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) result.output.append(buffer, n);
    std::fclose(f);
  }
  return result;
}

// Runs kra-capture in a fresh working directory, with the given data archive linked into it
// when one is named, otherwise with only the scene scripts a run cannot do without.
Result RunCapture(const std::string& arguments, const fs::path& archive = {}) {
  const std::string cwd = NewDir();
  if (!archive.empty()) fs::create_symlink(archive, fs::path(cwd) / "autoexec.bat");
  if (archive.empty()) demo_test::WritePartScripts(cwd);
  return RunCaptureIn(cwd, arguments);
}

int CountFiles(const std::string& dir, const std::string& extension) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(dir)) n += entry.path().extension() == extension;
  return n;
}

TEST(Capture, KeepsOnlyFramesInsideTheWindow) {
  const std::string frames = NewDir();
  const Result r = RunCapture("--quiet --fps 10 --from 0.25 --to 0.75 --frames " + frames);
  ASSERT_EQ(r.status, 0) << r.output;
  // At 10 fps the frames that end at 0.3 .. 0.7 s.
  EXPECT_EQ(CountFiles(frames, ".png"), 5);
  EXPECT_TRUE(fs::exists(fs::path(frames) / "frame_000000.png"));
  EXPECT_TRUE(fs::exists(fs::path(frames) / "frame_000004.png"));
  // A PNG file: the signature, then a 512 by 384 IHDR.
  FILE* f = std::fopen((fs::path(frames) / "frame_000000.png").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char header[24] = {};
  ASSERT_EQ(std::fread(header, 1, sizeof header, f), sizeof header);
  std::fclose(f);
  EXPECT_EQ(header[1], 'P');
  EXPECT_EQ((header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19]), 512);
  EXPECT_EQ((header[20] << 24 | header[21] << 16 | header[22] << 8 | header[23]), 384);
}

TEST(Capture, ShowsProgressAndTheFrameCount) {
  const Result r = RunCapture("--fps 2");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("frame 232 of 232 (100%)"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("kept 232 of 232 frames"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("frame 232 of 232"), r.output.rfind("frame 232 of 232")) << "said twice: " << r.output;
  // With nothing to play (no data at all) no frame is drawn, and none is talked of.
  const Result empty = RunCaptureIn(NewDir(), "--fps 10 --to 0.5");
  EXPECT_NE(empty.status, 0) << empty.output;
  EXPECT_EQ(empty.output.find("frame 0 of"), std::string::npos) << empty.output;
  EXPECT_EQ(empty.output.find("kept 0 of 0"), std::string::npos) << empty.output;
}

TEST(Capture, BadOptionsAreRefusedWithTheUsage) {
  Result r = RunCapture("--fps fast");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("kra-capture: --fps: 'fast' is not a number"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("usage: kra-capture"), std::string::npos);

  for (const char* window : {"--from nan", "--to nan"}) {  // NaN would keep no frame at all
    r = RunCapture(window);
    EXPECT_EQ(r.status, 2) << window;
    EXPECT_NE(r.output.find("'nan' is not a time"), std::string::npos) << r.output;
  }

  r = RunCapture("--from 3 --to 2");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("--from is after --to"), std::string::npos) << r.output;

  r = RunCapture("--bogus");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("unknown option '--bogus'"), std::string::npos) << r.output;

  r = RunCapture("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.output.find("--video FILE"), std::string::npos);
}

TEST(Capture, UnwritableFramesFolderFailsClearly) {
  const Result r = RunCapture("--quiet --fps 2 --frames /proc/kra_no_such_place");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("kra-capture: cannot create /proc/kra_no_such_place"), std::string::npos) << r.output;
}

TEST(Capture, WritesAVideoThroughFfmpeg) {
  if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
  const std::string dir = NewDir();
  const std::string video = dir + "/clip.mp4";
  const Result r = RunCapture("--quiet --fps 10 --to 1 --video " + video);
  ASSERT_EQ(r.status, 0) << r.output;
  ASSERT_TRUE(fs::exists(video));
  EXPECT_GT(fs::file_size(video), 0u);
  const std::string probe = "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                            "stream=nb_read_frames,width,height -of csv=p=0 " + video + " > " + dir + "/probe.txt";
  ASSERT_EQ(std::system(probe.c_str()), 0);
  FILE* f = std::fopen((dir + "/probe.txt").c_str(), "r");
  ASSERT_NE(f, nullptr);
  int width = 0, height = 0, count = 0;
  EXPECT_EQ(std::fscanf(f, "%d,%d,%d", &width, &height, &count), 3);
  std::fclose(f);
  EXPECT_EQ(width, 512);
  EXPECT_EQ(height, 384);
  EXPECT_EQ(count, 10);

  // The soundtrack is muxed in (silence here, with no music file): one stereo audio stream.
  const std::string audio_probe = "ffprobe -v error -select_streams a -show_entries stream=codec_type,channels "
                                  "-of csv=p=0 " + video + " > " + dir + "/audio.txt";
  ASSERT_EQ(std::system(audio_probe.c_str()), 0);
  f = std::fopen((dir + "/audio.txt").c_str(), "r");
  ASSERT_NE(f, nullptr);
  std::vector<std::string> streams;
  char line[64];
  while (std::fgets(line, sizeof line, f)) streams.emplace_back(line);
  std::fclose(f);
  EXPECT_EQ(streams, std::vector<std::string>{"audio,2\n"});
}

}  // namespace

namespace {

std::string ReadBytes(const fs::path& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

// The first 20 seconds with the demo's own data: four title cards, cut at 5, 10 and 15 s.
TEST(Capture, IntroShowsFourCardsWithCutsEveryFiveSeconds) {
  const fs::path archive = fs::path(KRA_BINARY_DIR) / "autoexec.bat";
  if (!fs::exists(archive)) GTEST_SKIP() << "the build made no data archive";
  const std::string frames = NewDir();
  const Result r = RunCapture("--quiet --fps 1 --to 20 --frames " + frames, archive);
  ASSERT_EQ(r.status, 0) << r.output;
  // Frame k shows the clock at k + 1 seconds.
  std::vector<std::string> shown;
  for (int k = 0; k < 20; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.png", k);
    shown.push_back(ReadBytes(fs::path(frames) / name));
    ASSERT_FALSE(shown.back().empty()) << name;
  }
  for (int card = 0; card < 4; ++card) {
    for (int k = card * 5 + 1; k < card * 5 + 5; ++k) EXPECT_EQ(shown[k], shown[card * 5]) << "frame " << k;
    if (card > 0) {
      EXPECT_NE(shown[card * 5], shown[card * 5 - 1]) << "no cut at " << card * 5 << " s";
    }
  }
  // Four different cards.
  EXPECT_NE(shown[0], shown[10]);
  EXPECT_NE(shown[0], shown[15]);
  EXPECT_NE(shown[5], shown[15]);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Noise(size_t size) {
  std::mt19937 random(18);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Every member of the zip archive as a loose file in dir.
void ExtractArchive(const fs::path& archive, const fs::path& dir) {
  unzFile zip = unzOpen64(archive.c_str());
  ASSERT_NE(zip, nullptr);
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    char name[256];
    unz_file_info64 info;
    ASSERT_EQ(unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0), UNZ_OK);
    std::string bytes(info.uncompressed_size, '\0');
    ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
    const int got = unzReadCurrentFile(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
    EXPECT_EQ(got, static_cast<int>(bytes.size())) << name;
    unzCloseCurrentFile(zip);
    WriteFile(dir / name, bytes);
  }
  unzClose(zip);
}

// The archive with the signature of its first central directory entry spoilt.
std::string WithBadDirectory(std::string zip) {
  const size_t end = zip.rfind("PK\x05\x06");
  const auto* p = reinterpret_cast<const unsigned char*>(zip.data() + end + 16);
  const size_t directory = p[0] | p[1] << 8 | p[2] << 16 | static_cast<size_t>(p[3]) << 24;
  zip.replace(directory, 4, "XXXX");
  return zip;
}

// Whether output holds text right after the place of a script line, "NAME.xml:LINE: ".
bool SaidAtAScriptLine(const std::string& output, const std::string& text) {
  for (size_t at = output.find(text); at != std::string::npos; at = output.find(text, at + 1)) {
    if (at < 2 || output.compare(at - 2, 2, ": ") != 0) continue;
    size_t digits = at - 2;
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(output[digits - 1]))) --digits;
    if (digits < at - 2 && digits >= 5 && output.compare(digits - 5, 5, ".xml:") == 0) return true;
  }
  return false;
}

// The demo's own data with one file removed or damaged per row: what the user reads names
// the file, with the script and line when a script led to it, and says it once.
TEST(Capture, DamagedDataIsToldByTheFilesName) {
  const fs::path archive = fs::path(KRA_BINARY_DIR) / "autoexec.bat";
  if (!fs::exists(archive)) GTEST_SKIP() << "the build made no data archive";
  const std::string zip = ReadBytes(archive);
  using Damage = std::function<void(const fs::path& dir)>;
  const struct {
    const char* what;
    bool loose;  // the members as loose files, else the archive alone
    Damage damage;
    int status;
    const char* said;    // what stderr says, after a script's "NAME.xml:LINE: " where a script led to it
    bool at_script_line;
    const char* once;    // text said exactly once, when given
  } rows[] = {
      {"morph target missing", true, [](const fs::path& d) { fs::remove(d / "heart_beat.lwo"); }, 255,
       "Error in XML: heart_beat.lwo Could not open morph filename\n", true, "Error in XML"},
      {"motion file missing", true, [](const fs::path& d) { fs::remove(d / "zibo1.mot"); }, 0,
       "motion file zibo1.mot not found or empty: Error Reading Motion memchunk (size 0)\n", true, nullptr},
      {"motion file empty", true, [](const fs::path& d) { WriteFile(d / "zibo2.mot", ""); }, 0,
       "motion file zibo2.mot not found or empty", true, nullptr},
      {"motion file of noise", true, [](const fs::path& d) { WriteFile(d / "zibo3.mot", Noise(100)); }, 0,
       "motion file zibo3.mot: Error Reading Motion memchunk (size 100)\n", true, nullptr},
      {"script names a mesh it lacks", true,
       [](const fs::path& d) {
         std::string script = ReadBytes(d / "swim.xml");
         script.insert(script.rfind("</scene>"), "<object name=\"ghost\" mesh=\"nomesh\"/>");
         WriteFile(d / "swim.xml", script);
       },
       255, "Error in XML:  No mesh with the name nomesh found! (object ghost)\n", true, "Error in XML"},
      {"archive cut short", false,
       [&](const fs::path& d) { WriteFile(d / "autoexec.bat", zip.substr(0, zip.size() / 2)); }, 1,
       "autoexec.bat: the data archive is damaged: no zip end-of-directory record", false, "the data archive"},
      {"archive of noise", false, [](const fs::path& d) { WriteFile(d / "autoexec.bat", Noise(5000)); }, 1,
       "autoexec.bat: the data archive is damaged: no zip end-of-directory record", false, "the data archive"},
      {"archive with a bad directory", false,
       [&](const fs::path& d) { WriteFile(d / "autoexec.bat", WithBadDirectory(zip)); }, 1,
       "autoexec.bat: the data archive is damaged: its central directory lists ", false, "the data archive"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const fs::path dir = NewDir();
    if (row.loose) ExtractArchive(archive, dir);
    row.damage(dir);
    const Result r = RunCaptureIn(dir, "--quiet --fps 1 --to 1");
    EXPECT_EQ(r.status, row.status) << r.output;
    const bool said =
        row.at_script_line ? SaidAtAScriptLine(r.output, row.said) : r.output.find(row.said) != std::string::npos;
    EXPECT_TRUE(said) << r.output;
    const size_t first = row.once ? r.output.find(row.once) : 0;
    EXPECT_TRUE(!row.once || (first != std::string::npos && r.output.find(row.once, first + 1) == std::string::npos))
        << r.output;
    fs::remove_all(dir);
  }
}

}  // namespace

namespace {

Texture ReadPng(const fs::path& path) { return DecodePng(LoadFile(path.c_str())); }

uint32_t PixelAt(const Texture& image, int x, int y) { return image.pixels[static_cast<size_t>(y) * image.width + x]; }

// One channel's mean over a rectangle of the image.
double Mean(const Texture& image, int x0, int y0, int x1, int y1, int shift) {
  double sum = 0.0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) sum += (PixelAt(image, x, y) >> shift) & 0xFF;
  }
  return sum / (static_cast<double>(x1 - x0) * (y1 - y0));
}

// --size against the frame kra-capture keeps at its own size, at 97 s with the demo's data:
// a whole multiple is that frame with every pixel repeated; a video size puts the picture in
// the middle on black, its centre pixel the frame's, its colours on average the frame's.
TEST(Capture, SizeScalesTheFrameWithSharpPixelsCentredOnBlack) {
  const fs::path archive = fs::path(KRA_BINARY_DIR) / "autoexec.bat";
  if (!fs::exists(archive)) GTEST_SKIP() << "the build made no data archive";
  const struct {
    const char* size;
    int width, height, left, picture_width;
  } kSizes[] = {{"", 512, 384, 0, 512}, {"1024x768", 1024, 768, 0, 1024}, {"1920x1080", 1920, 1080, 240, 1440}};
  std::vector<Texture> frames;
  for (const auto& s : kSizes) {
    const std::string dir = NewDir();
    const std::string size = *s.size ? std::string(" --size ") + s.size : "";
    const Result r = RunCapture("--quiet --from 97 --to 97.01 --frames " + dir + size, archive);
    ASSERT_EQ(r.status, 0) << r.output;
    frames.push_back(ReadPng(fs::path(dir) / "frame_000000.png"));
    ASSERT_EQ(frames.back().width, s.width) << s.size;
    ASSERT_EQ(frames.back().height, s.height) << s.size;
  }
  const Texture& native = frames[0];
  const Texture& twice = frames[1];
  for (int y = 0; y < twice.height; ++y) {
    for (int x = 0; x < twice.width; ++x) {
      ASSERT_EQ(PixelAt(twice, x, y) & 0xFFFFFF, PixelAt(native, x / 2, y / 2) & 0xFFFFFF) << x << "," << y;
    }
  }
  const Texture& video = frames[2];
  for (int y = 0; y < video.height; y += 7) {
    for (int x : {0, 239, 1680, 1919}) ASSERT_EQ(PixelAt(video, x, y) & 0xFFFFFF, 0u) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(video, 960, 540) & 0xFFFFFF, PixelAt(native, 256, 192) & 0xFFFFFF);
  for (int shift : {0, 8, 16}) {
    EXPECT_NEAR(Mean(video, 240, 0, 1680, 1080, shift), Mean(native, 0, 0, 512, 384, shift), 0.5) << shift;
  }
  for (Texture& frame : frames) FreeTexture(&frame);
}

TEST(Capture, BadSizesAreRefused) {
  for (const char* size : {"1920", "1921x1080", "0x0", "x", "1920x", "99999x99999", "1920x1080x", "-640x480", "64x48"}) {
    const Result r = RunCapture(std::string("--quiet --size ") + size);
    EXPECT_EQ(r.status, 2) << size;
    EXPECT_NE(r.output.find("--size"), std::string::npos) << r.output;
  }
}

}  // namespace
