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
#include "program_command.h"

namespace fs = std::filesystem;

namespace {

const fs::path kLwo = fs::path(KRA_TESTDATA_DIR) / "lwo2";
const std::string kBox = (kLwo / "boxuv.lwo").string();

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Result {
  int status;
  std::string out, err;
};

// Runs kra-view in dir, by default with no display; dir holds no archive.
Result RunView(const std::string& arguments, const fs::path& dir,
               const std::string& env = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER") {
  const std::string command = "cd " + dir.string() + " && " + env + " " + ProgramCommand("kra-view") + " " +
                              arguments + " >out.txt 2>err.txt";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(dir / "out.txt"), ReadText(dir / "err.txt")};
}

struct Picture {
  Texture image{};
  int lit = 0;    // pixels that are not black
  int white = 0;  // pure white pixels: outlines
  std::string bytes;
  ~Picture() { FreeTexture(&image); }
};

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kLwo)) GTEST_SKIP() << "no test data in " << kLwo;
    char pattern[] = "/tmp/kra_view_XXXXXX";
    dir = mkdtemp(pattern);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir.empty()) fs::remove_all(dir, ignored);
  }
  // Renders and counts what it drew; the run must succeed.
  void Render(const std::string& arguments, Picture* picture) {
    fs::remove(dir / "out.png");
    const Result r = RunView(arguments + " --png out.png", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    picture->bytes = ReadText(dir / "out.png");
    picture->image = DecodePng(LoadFile((dir / "out.png").c_str()));
    for (int i = 0; i < picture->image.width * picture->image.height; i++) {
      const uint32_t rgb = picture->image.pixels[i] & 0xFFFFFF;
      picture->lit += rgb != 0;
      picture->white += rgb == 0xFFFFFF;
    }
  }
  fs::path dir;
};

TEST_F(ViewTest, ObjectsRenderTheSameBytesEveryRunInsideTheFrame) {
  const struct {
    std::string arguments;
    int min_lit;
  } cases[] = {
      {kBox + " --texture " + (kLwo / "boxuv.png").string() + " --rot 30,40,0", 2000},
      {(kLwo / "uvtest.lwo").string() + " --texture " + (kLwo / "uvtest.png").string() + " --env", 20000},
      {(kLwo / "hierarchy.lwo").string() + " --outline --blend 1 --time 2.5", 5000},
      // Partly outside the frame: what lies outside is clipped, never written.
      {kBox + " --pos 2.6,1.6,-3 --outline", 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    Picture first, second;
    Render(c.arguments, &first);
    Render(c.arguments, &second);
    EXPECT_EQ(first.image.width, 512);
    EXPECT_EQ(first.image.height, 384);
    EXPECT_GE(first.lit, c.min_lit);
    EXPECT_EQ(first.bytes, second.bytes);
  }
}

// Outlines and environment mapping change the picture. A flat polygon has one front: seen
// from the other side it draws nothing at all, outlines included; a missing back-face test
// would draw it (and its outline) both ways round.
TEST_F(ViewTest, OutlinesEnvironmentMappingAndBackFaces) {
  const std::string box = kBox + " --rot 20,30,0 --texture " + (kLwo / "boxuv.png").string();
  const std::string flat = (kLwo / "concave_polygon.lwo").string() + " --outline";
  Picture plain, outlined, mapped, front, back;
  Render(box, &plain);
  Render(box + " --outline", &outlined);
  Render(box + " --env", &mapped);
  Render(flat + " --rot 0,-90,0", &front);
  Render(flat + " --rot 0,90,0", &back);
  EXPECT_GT(outlined.white, plain.white + 200);
  EXPECT_NE(plain.bytes, mapped.bytes);
  EXPECT_EQ(std::min(front.lit, back.lit), 0);
  EXPECT_GT(std::max(front.lit, back.lit), 1000);
  EXPECT_GT(std::max(front.white, back.white), 100);
}

// The demo's characters carry their skins as lightmaps; the viewer draws them as the demo
// does, from the build's archive: Zibo warm, Mamma cool, with texture.png lighting both.
TEST_F(ViewTest, DemoCharactersWearTheirOwnSkins) {
  const fs::path archive = fs::path(KRA_BINARY_DIR) / "autoexec.bat";
  if (!fs::exists(archive)) GTEST_SKIP() << "no " << archive << " (build kra_data)";
  fs::copy_file(archive, dir / "autoexec.bat");
  for (const auto& [mesh, warm] : {std::pair{"zibo.lwo", true}, std::pair{"mamma.lwo", false}}) {
    Picture picture;
    Render(std::string(mesh) + " --env", &picture);
    double warmth = 0;
    for (int i = 0; i < picture.image.width * picture.image.height; i++) {
      const uint32_t p = picture.image.pixels[i];
      warmth += int((p >> 16) & 0xFF) - int(p & 0xFF);
    }
    ASSERT_GT(picture.lit, 5000) << mesh;
    EXPECT_GT((warm ? warmth : -warmth) / picture.lit, 60.0) << mesh;
  }
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
  Render("s.xml", &start);
  Render("s.xml --time 1.5", &middle);  // key time 2 s x 30 = frame 60: 3 s at 20 fps
  Render("s.xml --time 3.5", &late);
  EXPECT_GT(start.lit, 500);
  EXPECT_GT(middle.lit, 500);
  EXPECT_NE(start.bytes, middle.bytes);
  EXPECT_NE(middle.bytes, late.bytes);
}

// Files that do not load exit with 1 and write no picture; bad options exit with 2.
TEST_F(ViewTest, FailuresSayWhyWithTheirExitStatus) {
  { std::ofstream(dir / "cut.lwo") << ReadText(kLwo / "boxuv.lwo").substr(0, 300); }
  std::ofstream(dir / "bad.xml") << "<scene>\n\n<loadlwo filename=\"missing.lwo\"/>\n</scene>\n";
  std::ofstream(dir / "s.xml") << "<scene>\n</scene>\n";
  const std::string png = " --png out.png", empty = (kLwo / "empty.lwo").string();
  const struct {
    std::string arguments;
    int status;
    std::string said;
  } cases[] = {
      {empty + png, 1, empty + ": empty file"},
      {"nothing.lwo" + png, 1, "nothing.lwo: not found"},
      {"cut.lwo" + png, 1, "cut.lwo: "},
      {"bad.xml" + png, 1, "bad.xml:3: "},
      {(kLwo / "boxuv.png").string() + png, 1, "boxuv.png: neither an LWO2 object nor a scene script"},
      {kBox + " --texture none.png" + png, 1, "none.png: not found"},
      {kBox + " --background " + empty + png, 1, "empty.lwo: empty file"},
      {kBox + " --png /proc/kra/out.png", 1, "cannot write /proc/kra/out.png"},
      {kBox, 1, "kra-view: cannot open a window: "},
      {"", 2, "kra-view: no file to show"},
      {kBox + " --blend 8", 2, "kra-view: --blend: '8' is not a blend mode from 0 to 7"},
      {kBox + " --pos 1,2", 2, "kra-view: --pos: '1,2' is not three numbers X,Y,Z"},
      {kBox + " --pos 3.4e38,0,-5", 2, "'3.4e38,0,-5' is not three numbers X,Y,Z, each from -1e30 to 1e30"},
      {kBox + " --rot 1,2,x", 2, "kra-view: --rot: '1,2,x' is not three numbers"},
      {kBox + " --time -1", 2, "kra-view: --time: '-1' is not a number of seconds"},
      {kBox + " --time nan", 2, "kra-view: --time: 'nan'"},
      {kBox + " --png", 2, "kra-view: --png needs a value"},
      {kBox + " other.lwo", 2, "kra-view: one file at a time"},
      {kBox + " --bogus", 2, "kra-view: unknown option '--bogus'"},
      {"s.xml --rot 0,90,0", 2, "kra-view: --pos and --rot place an object; s.xml is a scene script"},
  };
  for (const auto& c : cases) {
    const Result r = RunView(c.arguments, dir);
    EXPECT_EQ(r.status, c.status) << c.arguments;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << c.arguments << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.arguments;
    EXPECT_FALSE(fs::exists(dir / "out.png")) << c.arguments;
  }
  const Result help = RunView("--help", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--pos X,Y,Z"), std::string::npos);
  EXPECT_NE(help.out.find("each number from -1e30 to 1e30"), std::string::npos);
}

// Every key once, then Escape: the window ends with 0, leak check included in the sanitizer
// build (its window suites keep every library loaded; tests/CMakeLists.txt says why).
TEST_F(ViewTest, WindowTakesItsKeysAndEndsOnEscape) {
  const char* display = std::getenv("KRA_TEST_X_DISPLAY");
  if (!display) GTEST_SKIP() << "no X server for real-window tests (scripts/test starts Xvfb)";
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
  const std::string x = std::string("DISPLAY=") + display;
  const std::string keys = "(" + x + " timeout 30 xdotool search --sync --name '^kra-view: ' key --window %1 --delay 100 "
                           "space Right Left space e o r Escape >/dev/null 2>&1 &) ;";
  const std::string env = "env -u SDL_VIDEODRIVER " + x + " timeout 60";
  const Result r = RunView(kBox, dir, keys + " " + env);
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
