#include "demo/demo_reload.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "demo/demo_parts.h"
#include "platform/display_device.h"
#include "platform/fatal.h"
#include "platform/platform.h"
#include "resource/archive_location.h"
#include "resource/data_archive.h"
#include "resource/texture_table.h"

namespace {

int g_baseline_missed = 0;

// Loads into parts (an empty record) and the live texture table (empty too); the reason it
// failed, or "".
std::string LoadAgain(DemoParts* parts) {
  CloseArchive(&g_data_archive);
  OpenDemoArchive(&g_data_archive);
  const int32_t missed_before = g_data_archive.files_missed;
  try {
    LoadDemoParts(parts);
  } catch (const FatalError& error) {
    std::string why = error.what();
    while (!why.empty() && (why.back() == '\n' || why.front() == '\n')) {
      why.erase(why.back() == '\n' ? why.size() - 1 : 0, 1);
    }
    return why;
  }
  const int32_t missed = g_data_archive.files_missed - missed_before;
  if (missed > g_baseline_missed) {
    return std::to_string(missed) + " data files not found (the last load missed " +
           std::to_string(g_baseline_missed) + ")";
  }
  g_baseline_missed = missed;
  return "";
}

void ShowTitle(const std::string& title) {
  if (g_platform.display) g_platform.display->SetTitle(title.c_str());
}

}  // namespace

void SetReloadBaseline(int files_missed) { g_baseline_missed = files_missed; }

bool ReloadDemo() {
  auto fresh = std::make_unique<DemoParts>();
  auto kept_textures = std::make_unique<TextureTable>();
  std::swap(g_texture_table, *kept_textures);
  const std::string why = LoadAgain(fresh.get());
  if (!why.empty()) {
    ReleaseDemoParts(fresh.get());
    ReleaseTextureTable();
    std::swap(g_texture_table, *kept_textures);
    std::fprintf(stderr, "kra: reload failed, playing what was loaded before: %s\n", why.c_str());
    ShowTitle("kra - reload failed: " + why);
    return false;
  }
  // The new data is live; what it replaced goes through the same release as at the end.
  std::swap(g_parts, *fresh);
  ReleaseDemoParts(fresh.get());
  FreeTextureTable(kept_textures.get());
  std::fprintf(stderr, "kra: reloaded\n");
  ShowTitle("kra");
  return true;
}
