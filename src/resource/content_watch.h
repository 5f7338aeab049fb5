// Watching the files a load read, for live reloading: every data file name the load asked
// for (on disk as itself and under data/, whether found there or not, so a file put beside
// the archive counts too) and the archive. Polled from a frame loop: a poll is due every
// kWatchPollSeconds, stats each path and allocates nothing.
//
// A change is reported once the files have stayed the same over one whole poll after it, so
// a save still being written is not read half way (one that pauses longer is read, fails to
// load, and is read again when it changes once more).
#pragma once

#include <string>
#include <vector>

#include "platform/file_stamp.h"

constexpr float kWatchPollSeconds = 0.05f;

struct WatchedFile {
  std::string path;
  FileStamp stamp;
  bool music;    // the file is the music's: a change reloads the music, not the parts
  bool archive;  // the archive, which holds both
};

struct ContentWatch {
  std::vector<WatchedFile> files;
  float since_poll;
  bool settling;       // a change was seen at the last poll
  bool parts_changed;  // what has changed since the last report
  bool music_changed;
};

struct WatchChange {
  bool parts;
  bool music;
};

// Watches names (data file names as LoadFile was asked for them) and the archive at
// archive_path ("" for none); music_name (watched whether asked for or not) is the one
// whose change reloads the music. Stamps are taken now.
void StartContentWatch(ContentWatch* watch, const std::vector<std::string>& names, const std::string& archive_path,
                       const char* music_name);

// Watches names and archives (those not empty) as StartContentWatch does, but a path the watch
// already follows keeps the stamp it had: taken before the load that asked for these names,
// so a save made while that load was reading is still a change at the next poll. New paths
// are stamped now.
void RewatchContent(ContentWatch* watch, const std::vector<std::string>& names,
                    const std::vector<std::string>& archives, const char* music_name);

// Adds the elapsed seconds; polls when one is due. What changed, once it has settled.
WatchChange PollContentWatch(ContentWatch* watch, float elapsed);
