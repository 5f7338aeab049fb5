#include "check_demo.h"

#include <filesystem>

#include "check_files.h"
#include "check_script.h"
#include "platform/executable_dir.h"
#include "platform/file_path.h"
#include "resource/archive_location.h"
#include "resource/archive_damage.h"
#include "resource/data_archive.h"

namespace {

constexpr int32_t FRAME_WIDTH = 512;
constexpr int32_t FRAME_HEIGHT = 384;
// Wave strips swing 130 pixels to the left of the frame and are drawn from row 284 down.
constexpr int32_t WAVE_MIN_WIDTH = FRAME_WIDTH + 130;
constexpr int32_t WAVE_MIN_HEIGHT = FRAME_HEIGHT - 284;

const ImageNeeds FULL_FRAME = {FRAME_WIDTH, FRAME_HEIGHT, "frame it is drawn over; the rest stays black"};
const ImageNeeds WAVE_STRIP = {WAVE_MIN_WIDTH, WAVE_MIN_HEIGHT,
                               "a wave strip needs to cover the frame as it swings (x -130 to 0, rows 284 to 383)"};

struct DemoImage {
  const char* file;
  const ImageNeeds* needs;
};

const DemoImage DEMO_IMAGES[] = {
    {"presents.png", &FULL_FRAME}, {"zibo.png", &FULL_FRAME},     {"creds.png", &FULL_FRAME},
    {"greets.png", &FULL_FRAME},   {"wavefront.png", &WAVE_STRIP}, {"wavemiddle.png", &WAVE_STRIP},
    {"waveback.png", &WAVE_STRIP}, {"bg_sky.png", &FULL_FRAME},   {"bg_sol.png", &FULL_FRAME},
    {"bg_natt.png", &FULL_FRAME},  {"boble_zib.png", nullptr},    {"boble_zib1.png", nullptr},
    {"boble_obj.png", nullptr},    {"end.png", &FULL_FRAME},      {"texture.png", nullptr},
    {"texture2.png", nullptr},
};

struct DemoScript {
  const char* file;
  ScriptNeeds needs;
};

const DemoScript DEMO_SCRIPTS[] = {
    {"mamma1.xml", {"mamma1", 2, 2, {}}},
    {"swim.xml", {"swim", 2, 2, {1}}},
    {"swam.xml", {"swam", 3, 3, {1, 3}}},
};

constexpr const char* MUSIC_FILE = "zibo.mp3";

// Loads a file as the demo would; the archive's "not found" line is left out, since a
// missing file is reported by the caller.
MemChunk LoadDemoFile(const char* file) {
  MemChunk chunk{};
  std::exception_ptr failure;
  CaptureConsole([&] { chunk = LoadFile(file); }, &failure);
  return chunk;
}

bool Missing(CheckReport* report, const char* file, MemChunk* chunk, const char* what) {
  if (chunk->size > 0) return false;
  FreeChunk(chunk);
  ReportProblem(report, file, 0, "", std::string("missing: ") + what);
  return true;
}

void CheckDemoFiles(CheckReport* report) {
  for (const DemoImage& image : DEMO_IMAGES) {
    report->files_checked++;
    MemChunk chunk = LoadDemoFile(image.file);
    if (Missing(report, image.file, &chunk, "an image the demo draws")) continue;
    CheckImage(report, image.file, chunk, image.needs);
  }
  report->files_checked++;
  MemChunk music = LoadDemoFile(MUSIC_FILE);
  if (!Missing(report, MUSIC_FILE, &music, "the sound track (the demo runs silent)")) {
    CheckMusic(report, MUSIC_FILE, music);
  }
  for (const DemoScript& script : DEMO_SCRIPTS) {
    report->files_checked++;
    MemChunk chunk = LoadDemoFile(script.file);
    std::string what = std::string("the scene script of the 3D part \"") + script.needs.part + "\"";
    if (Missing(report, script.file, &chunk, what.c_str())) continue;
    CheckScript(report, script.file, chunk, &script.needs);
  }
}

// Opens the archive kra would open here and says where the data was looked for, since from
// another folder that may be the installed archive rather than one beside the files. An
// archive that does not open is a problem: the demo would quietly go without it.
void OpenArchiveAsTheDemo(CheckReport* report) {
  std::error_code ignored;
  const std::string here = Utf8FromPath(std::filesystem::current_path(ignored));
  const std::string archive = FindDemoArchive(ExecutableDir());
  if (archive.empty()) {
    const std::string installed = InstalledArchivePath(ExecutableDir());
    std::fprintf(report->out, "kra-check: checked the files in %s and its data/: no autoexec.bat there%s%s\n",
                 here.c_str(), installed.empty() ? "" : " or at ", installed.c_str());
    return;
  }
  std::fprintf(report->out, "kra-check: checked the files in %s, its data/ and %s\n", here.c_str(),
               archive == DEMO_ARCHIVE_NAME ? "its autoexec.bat" : archive.c_str());
  const std::string damage = ArchiveDamage(archive.c_str());
  if (!OpenArchive(&g_data_archive, archive.c_str())) {
    ReportProblem(report, archive, 0, "",
                  "not a zip archive that opens" + (damage.empty() ? "" : " (" + damage + ")") + "; the demo plays without it");
  } else if (!damage.empty()) {
    ReportProblem(report, archive, 0, "", "damaged data archive: " + damage);
  }
}

}  // namespace

bool CheckDemoData(CheckReport* report, const std::string& where, DemoSource source) {
  int before = report->problem_count;
  std::error_code ignored;
  std::filesystem::path old_dir = std::filesystem::current_path(ignored);
  DataArchive saved = g_data_archive;
  g_data_archive = DataArchive{};

  bool ready = true;
  if (source == DemoSource::ZIP) {
    ready = OpenArchive(&g_data_archive, where.c_str()) == 1;
    g_data_archive.search_mode = SEARCH_ARCHIVE_ONLY;
    const std::string damage = ArchiveDamage(where.c_str());
    const std::string why = damage.empty() ? "" : ": " + damage;
    if (!ready) ReportProblem(report, where, 0, "", "not a zip archive that opens" + why);
    if (ready && !damage.empty()) ReportProblem(report, where, 0, "", "damaged data archive: " + damage);
  } else {
    if (!where.empty() && where != ".") {
      std::filesystem::current_path(PathFromUtf8(where), ignored);
      if (ignored) {
        ReportProblem(report, where, 0, "", "cannot enter the folder");
        ready = false;
      }
    }
    if (ready && source == DemoSource::HERE) OpenArchiveAsTheDemo(report);
    if (ready && source == DemoSource::FOLDER) {
      OpenArchive(&g_data_archive, DEMO_ARCHIVE_NAME);
      const std::string damage = ArchiveDamage(DEMO_ARCHIVE_NAME);
      if (!damage.empty()) ReportProblem(report, DEMO_ARCHIVE_NAME, 0, "", "damaged data archive: " + damage);
    }
  }
  if (ready) {
    ReportInfo(report, "demo data in %s%s", where.empty() ? "." : where.c_str(),
               source == DemoSource::FOLDER && g_data_archive.is_open ? " (with autoexec.bat)" : "");
    CheckDemoFiles(report);
  }

  CloseArchive(&g_data_archive);
  g_data_archive = saved;
  std::filesystem::current_path(old_dir, ignored);
  return report->problem_count == before;
}
