#include "check_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "check_motion_keys.h"
#include "geometry/curve.h"
#include "geometry/lwo_mesh.h"
#include "geometry/lwo_object.h"
#include "geometry/mesh.h"
#include "geometry/motion.h"
#include "geometry/motion_file.h"
#include "audio/audio_source.h"
#include "platform/fatal.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"

namespace {

constexpr int MUSIC_RATE = 44100;

bool StartsWith(const uint8_t* data, int32_t size, const char* magic, int32_t length) {
  return size >= length && std::memcmp(data, magic, (size_t)length) == 0;
}

MemChunk CopyChunk(const MemChunk& chunk) {
  MemChunk copy = chunk;
  copy.pos = 0;
  if (chunk.size > 0) {
    copy.data = new uint8_t[chunk.size];
    std::memcpy(copy.data, chunk.data, (size_t)chunk.size);
  }
  return copy;
}

void ReportUvMaps(CheckReport* report, const LwoObject& object) {
  for (const LwoUvMap* map = object.uv_maps; map; map = map->next) {
    bool lightmap = map->name.rfind("Lightmap", 0) == 0;
    ReportInfo(report, "  %s map \"%s\": %d entries%s", map->per_polygon ? "VMAD" : "UV", map->name.c_str(),
               map->entry_count, lightmap ? " (lightmap coordinates)" : "");
  }
}

void ReportMeshSurfaces(CheckReport* report, const Mesh& mesh) {
  for (int32_t i = 0; i < mesh.surface_count && i < MESH_MAX_SURFACES; i++) {
    const char* texture = mesh.surface_texture_names[i];
    ReportInfo(report, "  surface %d: %d triangles, texture %s", i, mesh.surface_triangle_counts[i],
               texture[0] ? texture : "(none)");
  }
}

}  // namespace

DataKind KindOfData(const uint8_t* data, int32_t size) {
  if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8)) return DataKind::IMAGE;
  if (StartsWith(data, size, "FORM", 4)) return DataKind::OBJECT;
  if (StartsWith(data, size, "SMOT", 4)) return DataKind::MOTION;
  if (StartsWith(data, size, "PK\x03\x04", 4)) return DataKind::ZIP;
  int32_t i = StartsWith(data, size, "\xEF\xBB\xBF", 3) ? 3 : 0;
  while (i < size && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) i++;
  if (i < size && data[i] == '<') return DataKind::SCRIPT;
  return DataKind::OTHER;
}

bool CheckImage(CheckReport* report, const std::string& file, MemChunk chunk, const ImageNeeds* needs) {
  int before = report->problem_count;
  Texture texture{};
  std::exception_ptr failure;
  std::vector<std::string> lines = CaptureConsole([&] { texture = DecodePng(chunk); }, &failure);
  ReportConsoleLines(report, file, lines);
  if (texture.width == 0 || texture.height == 0) {
    if (lines.empty()) ReportProblem(report, file, 0, "", "PNG does not decode");
  } else {
    ReportInfo(report, "%s: image %dx%d, %s", file.c_str(), texture.width, texture.height,
               texture.has_alpha ? "with alpha" : "no alpha");
    // The demo draws it all the same; the rest of the frame stays black.
    if (needs && (texture.width < needs->min_width || texture.height < needs->min_height)) {
      ReportWarning(report, file,
                    FormatText("image is %dx%d, smaller than the %dx%d %s", texture.width, texture.height,
                               needs->min_width, needs->min_height, needs->why));
    }
  }
  FreeTexture(&texture);
  return report->problem_count == before;
}

// The file is read twice: once into the loader's intermediate object, for the maps and
// the first error with its chunk and offset, and once into a mesh as the scene loader does.
bool CheckObject(CheckReport* report, const std::string& file, MemChunk chunk) {
  int before = report->problem_count;
  LwoObject object{};
  int read = 0;
  std::exception_ptr failure;
  std::vector<std::string> lines =
      CaptureConsole([&] { read = ReadLwoFile(&object, chunk.data, chunk.size, file.c_str()); }, &failure);
  auto unnamed = [&](const std::string& text) {
    return text.rfind(file + ": ", 0) == 0 ? text.substr(file.size() + 2) : text;
  };
  for (const std::string& warning : object.warnings) ReportWarning(report, file, unnamed(warning));
  if (!read) {
    ReportProblem(report, file, 0, "", unnamed(object.error));
    FreeLwoObject(&object);
    FreeChunk(&chunk);
    return false;
  }

  Mesh mesh{};
  int loaded = 0;
  lines = CaptureConsole([&] { loaded = LoadLwoMesh(&mesh, CopyChunk(chunk)); }, &failure);
  ReportConsoleLines(report, file, lines);
  if (!loaded && lines.empty()) ReportProblem(report, file, 0, "", "does not load as a mesh");
  if (loaded) {
    ReportInfo(report, "%s: LWO2 object, %d points, %d triangles, %d %s", file.c_str(), mesh.vertex_count,
               mesh.triangle_count, mesh.surface_count, Plural(mesh.surface_count, "surface", "surfaces"));
    ReportUvMaps(report, object);
    ReportMeshSurfaces(report, mesh);
  }
  FreeMeshArrays(&mesh);
  FreeLwoObject(&object);
  FreeChunk(&chunk);
  return report->problem_count == before;
}

bool CheckMotion(CheckReport* report, const std::string& file, MemChunk chunk) {
  int before = report->problem_count;
  Motion* motion = nullptr;
  std::string error;
  if (!ReadMotionChunk(&chunk, &motion, &error)) {
    ReportProblem(report, file, 0, "", error);
    FreeChunk(&chunk);
    return false;
  }
  ReportInfo(report, "%s: motion, %d %s", file.c_str(), motion->position.key_count,
             Plural(motion->position.key_count, "key", "keys"));
  const CurveKey* p = motion->position.keys;
  const CurveKey* r = motion->rotation.keys;
  const CurveKey* s = motion->scale.keys;
  for (; p && r && s; p = p->next, r = r->next, s = s->next) {
    ReportInfo(report, "  frame %d: position %g %g %g, rotation %g %g %g, scale %g %g %g, tcb %g %g %g", p->time,
               p->value[0], p->value[1], p->value[2], r->value[0], r->value[1], r->value[2], s->value[0],
               s->value[1], s->value[2], p->tension, p->continuity, p->bias);
  }
  CheckMotionKeys(report, file, "", motion);
  FreeMotion(motion);
  return report->problem_count == before;
}

bool CheckMusic(CheckReport* report, const std::string& file, MemChunk chunk) {
  bool fine = true;
  if (std::unique_ptr<AudioSource> mp3 = OpenMp3Source(chunk.data, (size_t)chunk.size)) {
    // Decode it whole: a stream that breaks off midway still plays, but shorter than made.
    float frames[2 * 4096];
    int64_t total = 0;
    for (int got; (got = mp3->Read(frames, 4096)) > 0;) total += got;
    ReportInfo(report, "%s: MP3 stream, %.1f s at %d Hz", file.c_str(), (double)total / mp3->Rate(), mp3->Rate());
  } else if (std::unique_ptr<AudioSource> module = OpenModuleSource(chunk.data, (size_t)chunk.size, MUSIC_RATE)) {
    ReportInfo(report, "%s: tracker module", file.c_str());
  } else {
    ReportProblem(report, file, 0, "",
                  "not a kind of file the demo reads (PNG, LWO2, SMOT, XML script, MP3 or tracker module)");
    fine = false;
  }
  FreeChunk(&chunk);
  return fine;
}
