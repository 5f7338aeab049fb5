// The content watch: which changes it reports, and only once a save has settled.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "resource/content_watch.h"
#include "resource_test_support.h"

namespace {

namespace fs = std::filesystem;

class ContentWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char path[] = "/tmp/kra_watch_XXXXXX";
    dir_ = mkdtemp(path);
    fs::create_directory(dir_ / "data");
    old_ = fs::current_path();
    fs::current_path(dir_);
    WriteBytes("sky.png", "one");
    WriteBytes("zibo.mp3", "music");
    WriteBytes("autoexec.bat", "archive");
    StartContentWatch(&watch_, {"sky.png", "swim.xml"}, "autoexec.bat", "zibo.mp3");
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }

  // One poll's worth of time.
  WatchChange Poll() { return PollContentWatch(&watch_, kWatchPollSeconds); }

  fs::path dir_, old_;
  ContentWatch watch_{};
};

TEST_F(ContentWatchTest, ReportsOnceTheFilesHaveStayedTheSameOverOnePoll) {
  EXPECT_FALSE(Poll().parts);
  WriteBytes("sky.png", "two!");
  const WatchChange seen = Poll();
  EXPECT_FALSE(seen.parts || seen.music) << "reported while it may still be written";
  WriteBytes("sky.png", "two!, and more");  // still being written
  EXPECT_FALSE(Poll().parts);
  const WatchChange settled = Poll();
  EXPECT_TRUE(settled.parts);
  EXPECT_FALSE(settled.music);
  EXPECT_FALSE(Poll().parts) << "reported twice";
}

TEST_F(ContentWatchTest, PollsOnlyWhenOneIsDue) {
  WriteBytes("sky.png", "two!");
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(PollContentWatch(&watch_, kWatchPollSeconds / 5).parts);
  EXPECT_FALSE(PollContentWatch(&watch_, kWatchPollSeconds / 2).parts);  // due: the change is seen here
  EXPECT_FALSE(PollContentWatch(&watch_, kWatchPollSeconds / 2).parts);  // not due yet
  EXPECT_TRUE(PollContentWatch(&watch_, kWatchPollSeconds / 2).parts);
}

TEST_F(ContentWatchTest, TellsTheMusicThePartsAndTheArchiveApart) {
  const struct {
    const char* path;
    bool parts, music;
  } kCases[] = {
      {"zibo.mp3", false, true},      {"data/zibo.mp3", false, true}, {"autoexec.bat", true, true},
      {"data/sky.png", true, false},  {"swim.xml", true, false},      {"data/swim.xml", true, false},
  };
  for (const auto& c : kCases) {
    WriteBytes(c.path, std::string("changed ") + c.path);  // new, or a new size
    Poll();
    const WatchChange change = Poll();
    EXPECT_EQ(change.parts, c.parts) << c.path;
    EXPECT_EQ(change.music, c.music) << c.path;
  }
  fs::remove("data/swim.xml");  // a file that goes is a change too
  Poll();
  EXPECT_TRUE(Poll().parts);
}

TEST_F(ContentWatchTest, NamesNotAskedForAreNotWatched) {
  WriteBytes("other.png", "x");
  WriteBytes("data/other.png", "x");
  Poll();
  EXPECT_FALSE(Poll().parts);
}

// Copies that keep the modification time and the size (cp -p, rsync -t, a tar restore) and
// files renamed over the watched one are changes too.
TEST_F(ContentWatchTest, SameSizeAndTimeIsStillAChange) {
  const struct {
    const char* how;
    void (*save)();
  } rows[] = {
      {"rewritten, the time put back", [] { WriteBytes("sky.png", "uno"); }},
      {"renamed over, the time put back",
       [] {
         WriteBytes("sky.new", "dos");
         fs::rename("sky.new", "sky.png");
       }},
  };
  for (const auto& row : rows) {
    const auto modified = fs::last_write_time("sky.png");
    row.save();
    fs::last_write_time("sky.png", modified);
    Poll();
    EXPECT_TRUE(Poll().parts) << row.how;
  }
}

// The stamps a rewatch keeps are those from before the load: a save made while the load was
// reading is a change at the next poll, not taken for what the load read.
TEST_F(ContentWatchTest, ASaveDuringTheLoadIsSeenAfterIt) {
  WriteBytes("swim.xml", "first half");
  Poll();
  ASSERT_TRUE(Poll().parts);
  // The load runs now, and the rest of the file is written while it does.
  WriteBytes("swim.xml", "first half and the rest");
  RewatchContent(&watch_, {"sky.png", "swim.xml"}, {"autoexec.bat"}, "zibo.mp3");
  Poll();
  EXPECT_TRUE(Poll().parts);
  // A name only the new load asked for is stamped as it is now.
  WriteBytes("new.png", "x");
  RewatchContent(&watch_, {"new.png"}, {"autoexec.bat"}, "zibo.mp3");
  Poll();
  EXPECT_FALSE(Poll().parts);
  WriteBytes("new.png", "xy");
  Poll();
  EXPECT_TRUE(Poll().parts);
}

}  // namespace
