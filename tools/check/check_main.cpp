// kra-check: says what is wrong with the demo's data before anyone watches 116 seconds.
//
//   kra-check                 the demo's data as kra finds it here: the working directory's files,
//                             data/, and its autoexec.bat or else the installed one
//   kra-check FOLDER | ZIP    the demo's data in that folder, or in that archive alone
//   kra-check FILE...         single files by content: PNG, LWO2, SMOT, XML script, MP3, module
//   --verbose                 also print what was loaded
//   --version                 print the version
//
// Exit status 0 when all is well, 1 when anything is wrong.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "check_demo.h"
#include "check_files.h"
#include "check_path.h"
#include "check_report.h"
#include "kra_version.h"
#include "platform/command_line.h"
#include "platform/printable_text.h"

namespace {

void PrintUsage(FILE* out) {
  std::fputs("usage: kra-check [--verbose] [FOLDER | ZIP | FILE...]\n"
             "  no argument: check the demo's data as the demo finds it here (files, data/, autoexec.bat;\n"
             "    without one here, the autoexec.bat installed with kra) and say where it looked\n"
             "  FOLDER, ZIP: check the demo's data in that folder or archive\n"
             "  FILE: check one PNG, LWO2, SMOT, XML scene script, MP3 or module file\n"
             "  --verbose: also print what was loaded; --version: print the version\n"
             "exit status 0 when all is well, 1 on a problem, 2 on a bad option\n",
             out);
}

}  // namespace

enum Option { kVerbose = 1, kHelp, kVersion };
constexpr CommandOption kOptions[] = {{"verbose", false, kVerbose}, {"help", false, kHelp}, {"version", false, kVersion}};

int main(int argc, char** argv) {
  CheckReport report;
  std::vector<std::string> paths;
  bool help = false, version = false;
  std::string error;
  auto handle = [&](int id, const char*, std::string*) {
    report.verbose |= id == kVerbose;
    help |= id == kHelp;
    version |= id == kVersion;
    return true;
  };
  // "-v" is kept as the short form of --verbose it has always had.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-v") == 0) argv[i] = const_cast<char*>("--verbose");
  }
  if (!ParseCommandLine(argc, argv, kOptions, handle, &paths, &error)) {
    std::fprintf(stderr, "kra-check: %s\n", PrintableText(error).c_str());
    PrintUsage(stderr);
    return 2;
  }
  if (help) {
    PrintUsage(stdout);
    return 0;
  }
  if (version) {
    std::printf("kra-check %s\n%s\n", KRA_VERSION, KRA_LICENCE_LINE);
    return 0;
  }

  if (paths.empty()) CheckDemoData(&report, ".", DemoSource::HERE);
  for (const std::string& path : paths) CheckPath(&report, path);

  if (report.problem_count == 0) {
    std::printf("kra-check: all well (%d files checked%s)\n", report.files_checked,
                report.warning_count ? FormatText(", %d %s", report.warning_count,
                                                  Plural(report.warning_count, "warning", "warnings")).c_str()
                                     : "");
    return 0;
  }
  std::printf("kra-check: %d problem%s in %d files checked\n", report.problem_count,
              report.problem_count == 1 ? "" : "s", report.files_checked);
  return 1;
}
