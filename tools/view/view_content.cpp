#include "view_content.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

#include "check_files.h"
#include "check_report.h"
#include "geometry/curve.h"
#include "geometry/lwo_mesh.h"
#include "geometry/mesh.h"
#include "geometry/motion.h"
#include "platform/fatal.h"
#include "platform/process.h"
#include "resource/data_archive.h"
#include "resource/png_texture.h"
#include "resource/texture_table.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

namespace {

// Problems go to stderr in kra-check's form: "file:line: text" or "file: text".
CheckReport ErrorReport() {
  CheckReport report;
  report.out = stderr;
  return report;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads a file the way the demo finds it. The engine's lookup prints its own console lines;
// those are kept off stdout and replaced by one reason in *why.
MemChunk ReadDataFile(const std::string& path, std::string* why) {
  MemChunk chunk{};
  std::exception_ptr failure;
  CaptureConsole([&] { chunk = LoadFile(path.c_str()); }, &failure);
  if (chunk.size > 0) return chunk;
  FreeChunk(&chunk);
  struct stat info;
  if (stat(path.c_str(), &info) != 0) *why = "not found";
  else if (S_ISDIR(info.st_mode)) *why = "is a folder";
  else *why = info.st_size == 0 ? "empty file" : "cannot be read";
  return chunk;
}

// Decodes a PNG; false, with the decoder's reason reported, when it does not decode.
bool DecodeImage(CheckReport* report, const std::string& path, MemChunk chunk, Texture* image) {
  std::exception_ptr failure;
  std::vector<std::string> lines = CaptureConsole([&] { *image = DecodePng(chunk); }, &failure);
  if (image->pixels) return true;
  ReportConsoleLines(report, path, lines);
  if (lines.empty()) ReportProblem(report, path, 0, "", "PNG does not decode");
  return false;
}

bool ReadImage(CheckReport* report, const std::string& path, Texture* image) {
  std::string why;
  MemChunk chunk = ReadDataFile(path, &why);
  if (chunk.size == 0) {
    ReportProblem(report, path, 0, "", why);
    return false;
  }
  return DecodeImage(report, path, chunk, image);
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
    std::fprintf(stderr, "kra-view: %s %s; meshes are drawn with a grey checker\n", path.c_str(), why.c_str());
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
      std::fprintf(stderr, "kra-view: mesh \"%s\" has no surfaces: the demo fills none of its triangles\n", mesh->name);
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
  for (int k = 0; k < 3; k++) content->center[k] = mesh.vertex_count > 0 ? (low[k] + high[k]) * 0.5f : 0.0f;
  double radius = 0;
  for (int32_t i = 0; i < mesh.vertex_count; i++) {
    const double dx = mesh.vertices[i].x - content->center[0], dy = mesh.vertices[i].y - content->center[1],
                 dz = mesh.vertices[i].z - content->center[2];
    radius = std::max(radius, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  // A mesh of one point, or of points too far apart for a float, still gets a usable size.
  content->radius = radius > 0 && std::isfinite(radius) && radius < 1e30 ? static_cast<float>(radius) : 1.0f;
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
  SceneObject* object = AddObject(content->scene, mesh);
  SetObjectName(object, "object");
  // No motion: the viewer places and turns the object itself. The camera sits at the origin.
  std::memset(content->scene->camera->position, 0, sizeof content->scene->camera->position);
  // The pass draws an object only once scene time has passed its start, 0.
  content->scene->time = 1.0f;
  BoundingSphere(*mesh, content);
  return true;
}

// "Parse error at line N:\nreason\n" carries its line apart; the report gives the reason.
std::string ProblemText(const std::string& text) {
  std::string out = text;
  if (out.rfind("Parse error", 0) == 0) out = "XML syntax error: " + out.substr(out.find('\n') + 1);
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  while (!out.empty() && out.front() == '\n') out.erase(out.begin());
  return out;
}

void ReportLoadFailure(CheckReport* report, const std::string& file, std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const FatalError& error) {
    ReportProblem(report, file, g_scene_xml.line, "", ProblemText(error.what()));
  } catch (const ProcessExit& exit) {
    ReportProblem(report, file, g_scene_xml.line, "", FormatText("ends the demo (status %d)", exit.status));
  } catch (const std::exception& error) {
    ReportProblem(report, file, g_scene_xml.line, "", error.what());
  }
}

int32_t LastKeyTime(const SceneObject* object) {
  int32_t last = 0;
  if (!object->motion) return last;
  for (int32_t channel = 0; channel < MOTION_CHANNEL_COUNT; channel++) {
    for (const CurveKey* key = MotionChannel(object->motion, channel)->keys; key; key = key->next) {
      last = std::max(last, key->time);
    }
  }
  return last;
}

ObjectPose PoseOf(const SceneObject& object) {
  ObjectPose pose;
  std::memcpy(pose.position, object.position, sizeof pose.position);
  std::memcpy(pose.rotation, object.rotation, sizeof pose.rotation);
  std::memcpy(pose.scale, object.scale, sizeof pose.scale);
  std::memcpy(pose.alpha, object.alpha, sizeof pose.alpha);
  std::memcpy(pose.fov, object.fov, sizeof pose.fov);
  pose.local_time = object.local_time;
  return pose;
}

// Problems that leave a scene standing (syntax errors, keys out of order) are said and the
// scene is shown as the demo would show it; a fatal one ends the load.
bool BuildScriptScene(CheckReport* report, const std::string& file, MemChunk chunk, ViewContent* content) {
  content->scene = new Scene;
  ResetSceneXmlState();
  g_scene_xml.quiet = 1;
  std::exception_ptr failure;
  std::vector<std::string> lines = CaptureConsole([&] { LoadSceneXml(content->scene, chunk); }, &failure);
  for (const ScriptProblem& problem : g_scene_xml.problems) {
    ReportProblem(report, file, problem.line, "", ProblemText(problem.text));
  }
  ReportConsoleLines(report, file, lines);
  if (failure) ReportLoadFailure(report, file, failure);
  if (!failure && !g_scene_xml.new_scenes.empty()) {
    ReportProblem(report, file, 0, "", "<newscene> starts a scene of its own, which no demo part draws");
  }
  ResetSceneXmlState();
  if (failure) return false;

  Scene* scene = content->scene;
  int32_t last_key = LastKeyTime(scene->camera);
  for (const SceneObject* object = scene->objects; object; object = object->next) {
    CheckMotionKeys(report, file, FormatText("object \"%s\"", object->name), object->motion);
    last_key = std::max(last_key, LastKeyTime(object));
    content->start_poses.push_back(PoseOf(*object));
  }
  CheckMotionKeys(report, file, "camera", scene->camera->motion);
  content->start_poses.push_back(PoseOf(*scene->camera));
  // As the scene parts do after loading: their own playback rate, time from 0.
  scene->fps = VIEW_SCENE_FPS;
  scene->time = 0.0f;
  content->loop_seconds = last_key / static_cast<double>(VIEW_SCENE_FPS);
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
  OpenArchive(&g_data_archive, "autoexec.bat");

  std::string why;
  MemChunk chunk = ReadDataFile(options.file, &why);
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
    std::fprintf(stderr, "kra-view: --pos and --rot place an object; %s is a scene script\n", options.file.c_str());
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

void FreeViewContent(ViewContent* content) {
  delete content->scene;
  content->scene = nullptr;
  FreeTexture(&content->background);
  content->start_poses.clear();
  content->posed_seconds = -1.0;
  ReleaseTextureTable();
}

void SetMeshFlags(ViewContent* content, bool env_map, bool outline) {
  if (!content->scene) return;
  for (Mesh* mesh = content->scene->meshes; mesh; mesh = mesh->next) {
    mesh->env_map = env_map ? 1 : 0;
    mesh->outline = outline ? 1 : 0;
  }
}
