#include "resource/archive_location.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "resource_test_support.h"

namespace {

class ArchiveLocationTest : public ScratchDirTest {
 protected:
  // An installed tree in the scratch folder: prefix/bin (the executable's folder) and,
  // when asked for, prefix/share/kra/autoexec.bat. Works in the folder "here".
  std::string Install(bool with_archive) {
    std::filesystem::create_directories("prefix/bin");
    if (with_archive) WriteBytes("prefix/share/kra/autoexec.bat", "installed");
    std::filesystem::create_directories("here");
    std::filesystem::current_path("here");
    return (dir_ / "prefix/bin/").string();
  }
};

TEST_F(ArchiveLocationTest, InstalledArchiveIsShareKraBesideBin) {
  EXPECT_EQ(InstalledArchivePath("/usr/bin/"), "/usr/share/kra/autoexec.bat");
  EXPECT_EQ(InstalledArchivePath("/opt/kra/bin/"), "/opt/kra/share/kra/autoexec.bat");
  EXPECT_EQ(InstalledArchivePath(""), "");  // the system cannot tell where the program is
}

TEST_F(ArchiveLocationTest, WorkingDirectoryFirstThenInstalledThenNone) {
  struct Case {
    const char* name;
    bool installed;
    const char* here;  // what "autoexec.bat" in the working directory holds; null: none
    bool found_installed;
    bool found_here;
  };
  const Case cases[] = {
      {"only the installed archive", true, nullptr, true, false},
      {"the working directory's archive wins", true, "mine", false, true},
      {"a broken archive here is not replaced", true, "not a zip", false, true},
      {"neither", false, nullptr, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::current_path(dir_);
    std::filesystem::remove_all("prefix");
    std::filesystem::remove_all("here");
    const std::string bin = Install(c.installed);
    if (c.here) WriteBytes("autoexec.bat", c.here);
    const std::string expected = c.found_here        ? "autoexec.bat"
                                 : c.found_installed ? (dir_ / "prefix/share/kra/autoexec.bat").string()
                                                     : "";
    EXPECT_EQ(FindDemoArchive(bin), expected);
  }
}

// With no archive found, the one line says where the programs looked and what stood in the
// way there: a folder, a pipe or a dangling link where the archive should be.
TEST_F(ArchiveLocationTest, NoArchiveSaysWhereItLookedAndWhatWasThere) {
  using Setup = void (*)();
  const struct {
    const char* name;
    Setup here;       // in the working directory
    Setup installed;  // in the installed tree, from the working directory
    const char* said;
  } rows[] = {
      {"nothing anywhere", [] {}, [] {}, ": no autoexec.bat there or at PREFIX/share/kra/autoexec.bat"},
      {"a folder here", [] { std::filesystem::create_directory("autoexec.bat"); }, [] {},
       ": no autoexec.bat there (a directory) or at PREFIX/share/kra/autoexec.bat"},
      {"installed is a folder", [] {}, [] { std::filesystem::create_directories("../prefix/share/kra/autoexec.bat"); },
       "or at PREFIX/share/kra/autoexec.bat (a directory)"},
      {"installed is a FIFO", [] {},
       [] {
         std::filesystem::create_directories("../prefix/share/kra");
         mkfifo("../prefix/share/kra/autoexec.bat", 0600);
       },
       "or at PREFIX/share/kra/autoexec.bat (a FIFO)"},
      {"installed is a dangling link", [] {},
       [] {
         std::filesystem::create_directories("../prefix/share/kra");
         std::filesystem::create_symlink("gone.zip", "../prefix/share/kra/autoexec.bat");
       },
       "or at PREFIX/share/kra/autoexec.bat (a dangling link)"},
      {"data/ is a file", [] { WriteBytes("data", "x"); }, [] {}, " and its data/ (a file, not a folder)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::current_path(dir_);
    std::filesystem::remove_all("prefix");
    std::filesystem::remove_all("here");
    const std::string bin = Install(false);
    row.here();
    row.installed();
    std::string said = row.said;
    const std::string prefix = (dir_ / "prefix").string();
    if (const size_t at = said.find("PREFIX"); at != std::string::npos) said.replace(at, 6, prefix);
    const std::string line = DescribeDataSearch(bin);
    EXPECT_EQ(line.rfind("checked the files in " + (dir_ / "here").string() + " and its data/", 0), 0u) << line;
    EXPECT_NE(line.find(said), std::string::npos) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
  }
}

}  // namespace
