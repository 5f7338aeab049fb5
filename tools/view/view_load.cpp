#include "view_load.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

#include "check_files.h"
#include "check_report.h"
#include "geometry/lwo_mesh.h"
#include "geometry/mesh.h"
#include "platform/executable_dir.h"
#include "platform/printable_text.h"
#include "resource/archive_location.h"
#include "resource/archive_damage.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"
#include "resource/texture_table.h"
#include "scene/scene.h"
#include "view_files.h"
#include "view_script.h"

namespace {

// Problems go to stderr in kra-check's form: "file:line: text" or "file: text".
CheckReport ErrorReport() {
  CheckReport report;
  report.out = stderr;
  return report;
}

// Without the demo's texture the meshes would be filled black on a black frame: a grey
// checker keeps their shape visible.
Texture CheckerTexture() {
  Texture image = CreateTexture(TEXTURE_SIZE, TEXTURE_SIZE);
  for (int32_t y = 0; y < image.height; y++) {
    for (int32_t x = 0; x < image.width; x++) {
      image.pixels[y * image.width + x] = ((x / 32 + y / 32) & 1) ? 0xFFC0C0C0u : 0xFF606060u;
    }
  }
  return image;
}

// Registers the mesh texture and binds it as surface texture 0 of every mesh, as the demo's
// scene parts do for the meshes they show.
bool AddMeshTexture(CheckReport* report, const ViewOptions& options, Scene* scene) {
  const bool chosen = !options.texture_path.empty();
  const std::string path = chosen ? options.texture_path : "texture.png";
  Texture image{};
  std::string why;
  MemChunk chunk = ReadDataFile(path, &why);
  if (chunk.size == 0 && chosen) {
    ReportProblem(report, path, 0, "", why);
    return false;
  }
  if (chunk.size == 0) {
    std::fprintf(stderr, "kra-view: %s %s; meshes are drawn with a grey checker\n", PrintableText(path).c_str(),
                 why.c_str());
    image = CheckerTexture();
  } else if (!DecodeImage(report, path, chunk, &image)) {
    return false;
  }
  TextureRef* ref = &scene->textures[scene->texture_count];
  ref->id = RegisterTexture(image.width, image.height, 4, image.pixels);
  CopyNameField(ref->name, TEXTURE_REF_NAME_SIZE, BaseName(path).c_str());
  FreeTexture(&image);
  if (ref->id < 0) {
    ReportProblem(report, path, 0, "", "the texture table is full");
    return false;
  }
  scene->texture_count++;
  for (Mesh* mesh = scene->meshes; mesh; mesh = mesh->next) {
    mesh->surface_textures[0] = ref;
    // The renderer takes a mesh's texture from its first surface only.
    if (mesh->surface_count == 0) {
      std::fprintf(stderr, "kra-view: mesh \"%s\" has no surfaces: the demo fills none of its triangles\n",
                   PrintableText(mesh->name).c_str());
    }
  }
  return true;
}

void BoundingSphere(const Mesh& mesh, ViewContent* content) {
  float low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (int32_t i = 0; i < mesh.vertex_count; i++) {
    const float p[3] = {mesh.vertices[i].x, mesh.vertices[i].y, mesh.vertices[i].z};
    for (int k = 0; k < 3; k++) {
      low[k] = std::min(low[k], p[k]);
      high[k] = std::max(high[k], p[k]);
    }
  }
  // Points at infinity would put the centre there too, and the object nowhere to be seen.
  for (int k = 0; k < 3; k++) {
    const float middle = (low[k] + high[k]) * 0.5f;
    content->center[k] = std::isfinite(middle) ? middle : 0.0f;
  }
  double radius = 0;
  for (int32_t i = 0; i < mesh.vertex_count; i++) {
    const double dx = mesh.vertices[i].x - content->center[0], dy = mesh.vertices[i].y - content->center[1],
                 dz = mesh.vertices[i].z - content->center[2];
    radius = std::max(radius, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  // A mesh of one point, or of points too far apart for a float, still gets a usable size.
  content->radius = radius > 0 && std::isfinite(radius) && radius < 1e30 ? static_cast<float>(radius) : 1.0f;
}

// Whether any point of the mesh has coordinates from a "Lightmap" UV map.
bool HasLightmapCoordinates(const Mesh& mesh) {
  return std::any_of(mesh.vertices, mesh.vertices + mesh.vertex_count,
                     [](const MeshVertex& v) { return v.lu != 0.0f || v.lv != 0.0f; });
}

// One object in a scene of its own. Loading runs twice only for a file that fails: kra-check's
// object check then says where, with its chunk and offset.
bool BuildObjectScene(CheckReport* report, const std::string& file, MemChunk chunk, ViewContent* content) {
  content->scene = new Scene;
  Mesh* mesh = AddMesh(content->scene);
  int loaded = 0;
  std::exception_ptr failure;
  std::vector<std::string> lines = CaptureConsole([&] { loaded = LoadLwoMesh(mesh, chunk); }, &failure);
  if (!loaded || failure) {
    std::string why;
    const int before = report->problem_count;
    MemChunk again = ReadDataFile(file, &why);
    if (again.size > 0) CheckObject(report, file, again);
    if (report->problem_count == before) ReportProblem(report, file, 0, "", "does not load as a mesh");
    return false;
  }
  ReportConsoleLines(report, file, lines);
  CopyNameField(mesh->name, MESH_NAME_SIZE, BaseName(file).c_str());
  // The demo's scripts give a mesh with lightmap coordinates its lightmap, which the renderer
  // reads from texture id 0: the first texture registered, here the mesh texture.
  if (HasLightmapCoordinates(*mesh)) mesh->lightmap = new TextureRef{};
  SceneObject* object = AddObject(content->scene, mesh);
  SetObjectName(object, "object");
  // No motion: the viewer places and turns the object itself. The camera sits at the origin.
  std::memset(content->scene->camera->position, 0, sizeof content->scene->camera->position);
  // The pass draws an object only once scene time has passed its start, 0.
  content->scene->time = 1.0f;
  BoundingSphere(*mesh, content);
  return true;
}

}  // namespace

ViewLoad LoadViewContent(const ViewOptions& options, ViewContent* content) {
  *content = ViewContent{};
  content->posed_seconds = -1.0;
  CheckReport report = ErrorReport();
  // Opened again on every load: the archive may have been rebuilt, or a script's <zfile>
  // may have switched to another.
  CloseArchive(&g_data_archive);
  const std::string archive = OpenDemoArchive(&g_data_archive);
  const std::string damage = archive.empty() ? "" : ArchiveDamage(archive.c_str());
  if (!damage.empty()) ReportWarning(&report, archive, "the data archive is damaged: " + damage);

  std::string why;
  MemChunk chunk = ReadDataFile(options.file, &why);
  if (chunk.size == 0 && archive.empty()) {
    std::fprintf(stderr, "kra-view: no data: %s\n", DescribeDataSearch(ExecutableDir()).c_str());
  }
  if (chunk.size == 0) {
    ReportProblem(&report, options.file, 0, "", why);
    return ViewLoad::BAD_FILE;
  }
  const DataKind kind = KindOfData(chunk.data, chunk.size);
  if (kind != DataKind::OBJECT && kind != DataKind::SCRIPT) {
    FreeChunk(&chunk);
    ReportProblem(&report, options.file, 0, "", "neither an LWO2 object nor a scene script");
    return ViewLoad::BAD_FILE;
  }
  content->kind = kind == DataKind::OBJECT ? ViewKind::OBJECT : ViewKind::SCRIPT;
  if (content->kind == ViewKind::SCRIPT && options.place_given) {
    FreeChunk(&chunk);
    std::fprintf(stderr, "kra-view: --pos and --rot place an object; %s is a scene script\n",
                 PrintableText(options.file).c_str());
    return ViewLoad::BAD_OPTIONS;
  }
  const bool built = content->kind == ViewKind::OBJECT ? BuildObjectScene(&report, options.file, chunk, content)
                                                        : BuildScriptScene(&report, options.file, chunk, content);
  if (!built || !AddMeshTexture(&report, options, content->scene) ||
      (!options.background_path.empty() && !ReadImage(&report, options.background_path, &content->background))) {
    FreeViewContent(content);
    return ViewLoad::BAD_FILE;
  }
  SetMeshFlags(content, options.env_map, options.outline);
  return ViewLoad::OK;
}
