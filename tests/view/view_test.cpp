// kra-view as a user runs it: whole renders through --png of real LWO2 files, scripts, files
// that do not load, bad options, and the window on an X server.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "resource/data_archive.h"
#include "resource/png_texture.h"

namespace fs = std::filesystem;

namespace {

const fs::path kLwo = fs::path(KRA_TESTDATA_DIR) / "lwo2";

struct Result {
  int status;
  std::string out;
  std::string err;
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path NewDir() {
  char dir[] = "/tmp/kra_view_XXXXXX";
  return mkdtemp(dir);
}

// Runs kra-view in dir, by default with no display; dir holds no archive.
Result RunView(const std::string& arguments, const fs::path& dir,
               const std::string& env = "env -u DISPLAY -u WAYLAND_DISPLAY") {
  const std::string command = "cd " + dir.string() + " && " + env + " " + KRA_BINARY_DIR + "/kra-view " +
                              arguments + " >out.txt 2>err.txt";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(dir / "out.txt"), ReadText(dir / "err.txt")};
}

struct Picture {
  Texture image{};
  int lit = 0;    // pixels that are not black
  int white = 0;  // pure white pixels: outlines
  ~Picture() { FreeTexture(&image); }
};

void Count(const fs::path& png, Picture* picture) {
  picture->image = DecodePng(LoadFile(png.c_str()));
  const int n = picture->image.width * picture->image.height;
  for (int i = 0; i < n; i++) {
    const uint32_t rgb = picture->image.pixels[i] & 0xFFFFFF;
    picture->lit += rgb != 0;
    picture->white += rgb == 0xFFFFFF;
  }
}

// Renders into dir/name and counts what it drew; the run must succeed.
void Render(const std::string& arguments, const fs::path& dir, const std::string& name, Picture* picture) {
  const Result r = RunView(arguments + " --png " + name, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  Count(dir / name, picture);
}

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kLwo)) GTEST_SKIP() << "no test data in " << kLwo;
    dir = NewDir();
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir.empty()) fs::remove_all(dir, ignored);
  }
  fs::path dir;
};

TEST_F(ViewTest, ObjectsRenderTheSameBytesEveryRunInsideTheFrame) {
  const struct {
    std::string arguments;
    int min_lit;
  } cases[] = {
      {(kLwo / "boxuv.lwo").string() + " --texture " + (kLwo / "boxuv.png").string() + " --rot 30,40,0", 2000},
      {(kLwo / "uvtest.lwo").string() + " --texture " + (kLwo / "uvtest.png").string() + " --env", 20000},
      {(kLwo / "hierarchy.lwo").string() + std::string(" --outline --blend 1 --time 2.5"), 5000},
      // Partly outside the frame: what lies outside is clipped, never written.
      {(kLwo / "boxuv.lwo").string() + std::string(" --pos 2.6,1.6,-3 --outline"), 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    Picture first, second;
    Render(c.arguments, dir, "a.png", &first);
    Render(c.arguments, dir, "b.png", &second);
    EXPECT_EQ(first.image.width, 512);
    EXPECT_EQ(first.image.height, 384);
    EXPECT_GE(first.lit, c.min_lit);
    EXPECT_EQ(ReadText(dir / "a.png"), ReadText(dir / "b.png"));
  }
}

TEST_F(ViewTest, OutlinesAndEnvironmentMappingChangeThePicture) {
  const std::string box = (kLwo / "boxuv.lwo").string() + " --rot 20,30,0 --texture " + (kLwo / "boxuv.png").string();
  Picture plain, outlined, mapped;
  Render(box, dir, "plain.png", &plain);
  Render(box + " --outline", dir, "outlined.png", &outlined);
  Render(box + " --env", dir, "mapped.png", &mapped);
  EXPECT_GT(outlined.white, plain.white + 200);
  EXPECT_NE(ReadText(dir / "plain.png"), ReadText(dir / "mapped.png"));
}

// A flat polygon has one front. Seen from the other side it draws nothing at all, outlines
// included; a missing back-face test would draw it (and its outline) both ways round.
TEST_F(ViewTest, BackFacesAreNotDrawn) {
  const std::string flat = (kLwo / "concave_polygon.lwo").string() + " --outline";
  Picture front, back;
  Render(flat + " --rot 0,-90,0", dir, "front.png", &front);
  Render(flat + " --rot 0,90,0", dir, "back.png", &back);
  EXPECT_EQ(std::min(front.lit, back.lit), 0);
  EXPECT_GT(std::max(front.lit, back.lit), 1000);
  EXPECT_GT(std::max(front.white, back.white), 100);
}

// A script plays its motion: the picture follows the key times, at the demo's 20 frames per
// second, and time 0 already shows the scene.
TEST_F(ViewTest, ScriptsPlayTheirMotion) {
  fs::copy_file(kLwo / "boxuv.lwo", dir / "box.lwo");
  std::ofstream(dir / "s.xml") << "<scene>\n<loadlwo name=\"box\" filename=\"box.lwo\"/>\n"
                                  "<object name=\"b\" mesh=\"box\">\n"
                                  "<key time=\"0\" pos_x=\"-6\" pos_y=\"0\" pos_z=\"-8\" rot_y=\"20\"/>\n"
                                  "<key time=\"2\" pos_x=\"6\" pos_y=\"0\" pos_z=\"-8\" rot_y=\"200\"/>\n"
                                  "</object>\n<camera><key time=\"0\" pos_x=\"0\" pos_y=\"0\" pos_z=\"0\"/></camera>\n"
                                  "</scene>\n";
  Picture start, middle, late;
  Render("s.xml", dir, "t0.png", &start);
  Render("s.xml --time 1.5", dir, "t1.png", &middle);  // key time 2 s x 30 = frame 60: 3 s at 20 fps
  Render("s.xml --time 3.5", dir, "t3.png", &late);
  EXPECT_GT(start.lit, 500);
  EXPECT_GT(middle.lit, 500);
  EXPECT_NE(ReadText(dir / "t0.png"), ReadText(dir / "t1.png"));
  EXPECT_NE(ReadText(dir / "t1.png"), ReadText(dir / "t3.png"));
}

TEST_F(ViewTest, FilesThatDoNotLoadSayWhyAndExitWithOne) {
  { std::ofstream(dir / "cut.lwo") << ReadText(kLwo / "boxuv.lwo").substr(0, 300); }
  std::ofstream(dir / "bad.xml") << "<scene>\n\n<loadlwo filename=\"missing.lwo\"/>\n</scene>\n";
  const struct {
    std::string arguments;
    std::string said;
  } cases[] = {
      {(kLwo / "empty.lwo").string(), (kLwo / "empty.lwo").string() + ": empty file"},
      {"nothing.lwo", "nothing.lwo: not found"},
      {"cut.lwo", "cut.lwo: "},
      {"bad.xml", "bad.xml:3: "},
      {(kLwo / "boxuv.png").string(), "boxuv.png: neither an LWO2 object nor a scene script"},
      {(kLwo / "boxuv.lwo").string() + " --texture none.png", "none.png: not found"},
      {(kLwo / "boxuv.lwo").string() + " --background " + (kLwo / "empty.lwo").string(), "empty.lwo: empty file"},
  };
  for (const auto& c : cases) {
    const Result r = RunView(c.arguments + " --png out.png", dir);
    EXPECT_EQ(r.status, 1) << c.arguments;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << c.arguments << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.arguments;
    EXPECT_FALSE(fs::exists(dir / "out.png")) << c.arguments;
  }
  const Result unwritable = RunView((kLwo / "boxuv.lwo").string() + " --png /proc/kra/out.png", dir);
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("cannot write /proc/kra/out.png"), std::string::npos) << unwritable.err;
}

TEST_F(ViewTest, BadOptionsAreRefusedWithExitTwo) {
  std::ofstream(dir / "s.xml") << "<scene>\n</scene>\n";
  const std::string box = (kLwo / "boxuv.lwo").string();
  const struct {
    std::string arguments;
    std::string said;
  } cases[] = {
      {"", "no file to show"},
      {box + " --blend 8", "--blend: '8' is not a blend mode from 0 to 7"},
      {box + " --pos 1,2", "--pos: '1,2' is not three numbers X,Y,Z"},
      {box + " --rot 1,2,x", "--rot: '1,2,x' is not three numbers"},
      {box + " --time -1", "--time: '-1' is not a number of seconds"},
      {box + " --time nan", "--time: 'nan'"},
      {box + " --png", "--png needs a value"},
      {box + " other.lwo", "one file at a time"},
      {box + " --bogus", "unknown option '--bogus'"},
      {"s.xml --rot 0,90,0", "--pos and --rot place an object; s.xml is a scene script"},
  };
  for (const auto& c : cases) {
    const Result r = RunView(c.arguments, dir);
    EXPECT_EQ(r.status, 2) << c.arguments;
    EXPECT_NE(r.err.find("kra-view: " + c.said), std::string::npos) << c.arguments << "\n" << r.err;
  }
  const Result help = RunView("--help", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--pos X,Y,Z"), std::string::npos);
}

TEST_F(ViewTest, WindowNeedsADisplay) {
  const Result r = RunView((kLwo / "boxuv.lwo").string(), dir, "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("kra-view: cannot open a window: "), std::string::npos) << r.err;
}

// Every key once, then Escape: the window ends with 0. The X libraries SDL loads keep memory
// to the end of the process, so leak checking is off for this run.
TEST_F(ViewTest, WindowTakesItsKeysAndEndsOnEscape) {
  const char* display = std::getenv("KRA_TEST_X_DISPLAY");
  if (!display) GTEST_SKIP() << "no X server for real-window tests (scripts/test starts Xvfb)";
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
  const std::string x = std::string("DISPLAY=") + display;
  const std::string keys = "(" + x + " timeout 30 xdotool search --sync --name '^kra-view: ' key --window %1 --delay 100 "
                           "space Right Left space e o r Escape >/dev/null 2>&1 &) ;";
  const std::string env = "env -u SDL_VIDEODRIVER ASAN_OPTIONS=detect_leaks=0 " + x + " timeout 60";
  const Result r = RunView((kLwo / "boxuv.lwo").string(), dir, keys + " " + env);
  // An xdotool still waiting for a window would type into the next test's window.
  std::system("pkill -f 'xdotool search --sync --name .kra-view: ' >/dev/null 2>&1");
  EXPECT_EQ(r.status, 0) << r.err;
  // Without an archive each load says the texture is missing: twice means R reloaded.
  const std::string note = "texture.png not found";
  const size_t first = r.err.find(note);
  ASSERT_NE(first, std::string::npos) << r.err;
  EXPECT_NE(r.err.find(note, first + 1), std::string::npos) << r.err;
}

}  // namespace
