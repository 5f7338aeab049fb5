#include "resource/content_watch.h"

#include <utility>

namespace {

const WatchedFile* Find(const std::vector<WatchedFile>& files, const std::string& path) {
  for (const WatchedFile& file : files) {
    if (file.path == path) return &file;
  }
  return nullptr;
}

// Adds path to watch, with the stamp it has in earlier when it is there, else its stamp now.
void Watch(ContentWatch* watch, const std::vector<WatchedFile>& earlier, const std::string& path, bool music,
           bool archive) {
  if (Find(watch->files, path)) return;
  const WatchedFile* known = Find(earlier, path);
  watch->files.push_back({path, known ? known->stamp : ReadFileStamp(path.c_str()), music, archive});
}

void WatchAll(ContentWatch* watch, const std::vector<WatchedFile>& earlier, const std::vector<std::string>& names,
              const std::vector<std::string>& archives, const char* music_name) {
  watch->files.clear();
  for (const std::string& name : names) {
    const bool music = music_name && name == music_name;
    Watch(watch, earlier, name, music, false);
    Watch(watch, earlier, "data/" + name, music, false);
  }
  if (music_name) {
    Watch(watch, earlier, music_name, true, false);
    Watch(watch, earlier, std::string("data/") + music_name, true, false);
  }
  for (const std::string& archive : archives) {
    if (!archive.empty()) Watch(watch, earlier, archive, false, true);
  }
}

}  // namespace

void StartContentWatch(ContentWatch* watch, const std::vector<std::string>& names, const std::string& archive_path,
                       const char* music_name) {
  *watch = ContentWatch{};
  WatchAll(watch, {}, names, {archive_path}, music_name);
}

void RewatchContent(ContentWatch* watch, const std::vector<std::string>& names,
                    const std::vector<std::string>& archives, const char* music_name) {
  const std::vector<WatchedFile> earlier = std::move(watch->files);
  WatchAll(watch, earlier, names, archives, music_name);
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
