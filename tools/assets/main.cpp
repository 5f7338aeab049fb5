// kra-assets: makes every data file of the demo and packs them into its archive.
//
//   kra-assets [--archive FILE] [--out DIR] [--only NAME] [--preview DIR] [--icons DIR] [--list]
//
// The build runs it in the build root to write "autoexec.bat" next to kra. Only the archive
// is written by default: the demo looks in its working directory before the archive, so
// loose copies there would shadow it. --out DIR also writes every file into DIR to look at,
// and --preview DIR writes sample frames that layer the pictures and the 3D scenes as the
// scene parts do.
//
// The tool is laid out by what it makes, and includes only run downwards:
//   draw/     canvas, shapes, masks, gradients, noise, text, PNG encoding (includes nothing of
//             the tool)
//   pack/     the table of contents every maker fills in, and the zip writer (nothing of the
//             tool either)
//   images/   the pictures: theme, scenery, cards, backgrounds, waves, bubbles (draw/, pack/)
//   meshes/   the cast: surface sampler, shapes, skins, meshes and the mesh textures (draw/,
//             pack/)
//   music/    score, instruments, mix, mastering and its loudness meter, MP3 encoder, the
//             soundtrack (pack/)
//   scenes/   staging, the script writer and the three scene scripts (pack/)
//   preview/  sample frames and the 3D scenes in them (draw/, images/, pack/)
//   main.cpp  this entry (pack/, preview/, images/icon)
//
// --icons DIR writes the application icon at the sizes desktops use.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "pack/content.h"
#include "platform/command_line.h"
#include "pack/zip_writer.h"
#include "images/icon.h"
#include "preview/frames.h"

namespace {

using assets::ArchiveMember;
using assets::ContentMaker;

constexpr const char* DEFAULT_ARCHIVE = "autoexec.bat";

struct Options {
  std::string archive = DEFAULT_ARCHIVE;
  std::string loose_dir;  // empty: no loose files
  std::string only;       // empty: every maker
  std::string preview_dir;
  std::string icons_dir;
  bool list = false;
};

void PrintUsage(FILE* to) {
  std::fprintf(to,
               "usage: kra-assets [--archive FILE] [--out DIR] [--only NAME] [--preview DIR] [--icons DIR] [--list]\n"
               "  --archive FILE  write the data archive to FILE (default %s)\n"
               "  --out DIR       also write every file loose into DIR, to look at\n"
               "  --only NAME     make only the file NAME (loose, into --out DIR; no archive)\n"
               "  --preview DIR   write sample frames layering backgrounds, 3D scenes, waves and bubbles into DIR\n"
               "  --icons DIR     write the application icon as DIR/NxN/apps/kra.png (64, 128, 256, 512)\n"
               "  --list          print the names of the files the tool makes\n",
               DEFAULT_ARCHIVE);
}

enum Option { kArchive = 1, kOut, kOnly, kPreview, kIcons, kList, kHelp };
constexpr CommandOption kOptions[] = {{"archive", true, kArchive}, {"out", true, kOut},     {"only", true, kOnly},
                                      {"preview", true, kPreview}, {"icons", true, kIcons}, {"list", false, kList},
                                      {"help", false, kHelp}};

bool ParseOptions(int argc, char** argv, Options* options) {
  bool help = false;
  auto handle = [&](int id, const char* value, std::string*) {
    switch (id) {
      case kArchive: options->archive = value; break;
      case kOut: options->loose_dir = value; break;
      case kOnly: options->only = value; break;
      case kPreview: options->preview_dir = value; break;
      case kIcons: options->icons_dir = value; break;
      case kList: options->list = true; break;
      case kHelp: help = true; break;
    }
    return true;
  };
  std::vector<std::string> rest;
  std::string error;
  if (ParseCommandLine(argc, argv, kOptions, handle, &rest, &error) && !rest.empty()) {
    error = "unexpected argument '" + rest.front() + "'";
  }
  if (!error.empty()) {
    std::fprintf(stderr, "kra-assets: %s\n", error.c_str());
    PrintUsage(stderr);
    return false;
  }
  if (help) {
    PrintUsage(stdout);
    std::exit(0);
  }
  if (!options->only.empty() && options->loose_dir.empty()) {
    std::fprintf(stderr, "kra-assets: --only needs --out DIR\n");
    return false;
  }
  return true;
}

bool WriteLooseFile(const std::string& dir, const ArchiveMember& member) {
  std::filesystem::create_directories(dir);
  std::string path = dir + "/" + member.name;
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(member.bytes.data(), 1, member.bytes.size(), f) == member.bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "kra-assets: cannot write %s\n", path.c_str());
  return ok;
}

int Run(const Options& options) {
  if (options.list) {
    for (const ContentMaker& maker : assets::ContentMakers()) std::printf("%s\n", maker.file_name);
    return 0;
  }
  if (!options.icons_dir.empty()) {
    std::string error;
    if (!assets::WriteIcons(options.icons_dir, &error)) {
      std::fprintf(stderr, "kra-assets: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (!options.preview_dir.empty()) {
    std::string error;
    if (!assets::WritePreviews(options.preview_dir, &error)) {
      std::fprintf(stderr, "kra-assets: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  // Fail before the minutes of painting and synthesis, not after them.
  std::filesystem::path archive_dir = std::filesystem::path(options.archive).parent_path();
  if (options.only.empty() && !archive_dir.empty() && !std::filesystem::is_directory(archive_dir)) {
    std::fprintf(stderr, "kra-assets: cannot create archive %s: no directory %s\n", options.archive.c_str(),
                 archive_dir.c_str());
    return 1;
  }
  auto start = std::chrono::steady_clock::now();
  std::vector<ArchiveMember> members;
  size_t total = 0;
  for (const ContentMaker& maker : assets::ContentMakers()) {
    if (!options.only.empty() && options.only != maker.file_name) continue;
    members.push_back({maker.file_name, maker.make()});
    total += members.back().bytes.size();
    if (!options.loose_dir.empty() && !WriteLooseFile(options.loose_dir, members.back())) return 1;
  }
  if (members.empty()) {
    std::fprintf(stderr, "kra-assets: no file named %s (see --list)\n", options.only.c_str());
    return 1;
  }
  if (options.only.empty()) {
    std::string error;
    if (!assets::WriteZipArchive(options.archive, members, &error)) {
      std::fprintf(stderr, "kra-assets: %s\n", error.c_str());
      return 1;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("kra-assets: %zu files, %zu bytes%s%s in %.2f s\n", members.size(), total,
              options.only.empty() ? " packed into " : "", options.only.empty() ? options.archive.c_str() : "",
              seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return 2;
  try {
    return Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
