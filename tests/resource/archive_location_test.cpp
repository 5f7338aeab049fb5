#include "resource/archive_location.h"

#include <gtest/gtest.h>

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

}  // namespace
