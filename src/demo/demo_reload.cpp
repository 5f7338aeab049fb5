#include "demo/demo_reload.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "demo/demo_parts.h"
#include "demo/demo_state.h"
#include "platform/executable_dir.h"
#include "platform/fatal.h"
#include "platform/load_problems.h"
#include "platform/message_box.h"
#include "resource/archive_damage.h"
#include "resource/archive_location.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"
#include "resource/texture_table.h"

namespace {

std::string g_last_failure;

// A fatal error ends the load where it was met; its place (a script and line) or, without
// one, the error itself names what failed.
void NoteFatal(const FatalError& error) {
  const std::string place = error.place.empty() ? "data" : error.place;
  NoteLoadProblem(place, error.what());
}

// Loads into parts (an empty record) and the live texture table (empty too); every problem
// noted meanwhile, in order.
std::vector<LoadProblem> LoadAgain(DemoParts* parts) {
  const bool boxes = MessageBoxesEnabled();
  SetMessageBoxesEnabled(false);
  StartLoadProblems();
  // A damaged archive is the problem to name, not each member it no longer gives: an archive
  // caught half saved is then named as what is being written.
  const std::string archive = FindDemoArchive(ExecutableDir());
  const std::string damage = archive.empty() ? "" : ArchiveDamage(archive.c_str());
  if (!damage.empty()) NoteLoadProblem(archive, damage);
  CloseArchive(&g_data_archive);
  OpenDemoArchive(&g_data_archive);
  try {
    LoadDemoParts(parts);
  } catch (const FatalError& error) {
    NoteFatal(error);
  }
  SetMessageBoxesEnabled(boxes);
  return TakeLoadProblems();
}

}  // namespace

const std::string& LastReloadFailure() { return g_last_failure; }

bool ReloadDemo() {
  auto fresh = std::make_unique<DemoParts>();
  auto kept_textures = std::make_unique<TextureTable>();
  std::swap(g_texture_table, *kept_textures);
  const std::vector<LoadProblem> problems = LoadAgain(fresh.get());
  if (!problems.empty()) {
    ReleaseDemoParts(fresh.get());
    ReleaseTextureTable();
    std::swap(g_texture_table, *kept_textures);
    g_last_failure = problems.front().file + ": " + problems.front().reason;
    const size_t more = problems.size() - 1;
    std::fprintf(stderr, "kra: reload failed, playing what was loaded before: %s%s\n", g_last_failure.c_str(),
                 more ? (" (and " + std::to_string(more) + " more)").c_str() : "");
    return false;
  }
  // The new data is live; what it replaced goes through the same release as at the end.
  std::swap(g_parts, *fresh);
  ForgetBackdropDamage(&g_demo.frame_buffer.frame);
  ReleaseDemoParts(fresh.get());
  FreeTextureTable(kept_textures.get());
  g_last_failure.clear();
  std::fprintf(stderr, "kra: reloaded\n");
  return true;
}
