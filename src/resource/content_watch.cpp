#include "resource/content_watch.h"

namespace {

void Watch(ContentWatch* watch, const std::string& path, bool music, bool archive) {
  for (const WatchedFile& file : watch->files) {
    if (file.path == path) return;
  }
  watch->files.push_back({path, ReadFileStamp(path.c_str()), music, archive});
}

}  // namespace

void StartContentWatch(ContentWatch* watch, const std::vector<std::string>& names, const std::string& archive_path,
                       const char* music_name) {
  *watch = ContentWatch{};
  for (const std::string& name : names) {
    const bool music = music_name && name == music_name;
    Watch(watch, name, music, false);
    Watch(watch, "data/" + name, music, false);
  }
  if (music_name) {
    Watch(watch, music_name, true, false);
    Watch(watch, std::string("data/") + music_name, true, false);
  }
  if (!archive_path.empty()) Watch(watch, archive_path, false, true);
}

WatchChange PollContentWatch(ContentWatch* watch, float elapsed) {
  watch->since_poll += elapsed;
  if (watch->since_poll < kWatchPollSeconds) return {};
  watch->since_poll = 0.0f;
  bool changed = false;
  for (WatchedFile& file : watch->files) {
    const FileStamp now = ReadFileStamp(file.path.c_str());
    if (now == file.stamp) continue;
    file.stamp = now;
    changed = true;
    // The archive holds the music too: a new one reloads both.
    watch->music_changed |= file.music || file.archive;
    watch->parts_changed |= !file.music;
  }
  if (changed) {
    watch->settling = true;
    return {};
  }
  if (!watch->settling) return {};
  watch->settling = false;
  const WatchChange change{watch->parts_changed, watch->music_changed};
  watch->parts_changed = watch->music_changed = false;
  return change;
}
