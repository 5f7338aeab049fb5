#include "check_script.h"

#include <unistd.h>

#include <filesystem>

#include "check_motion_keys.h"
#include "geometry/mesh.h"
#include "geometry/motion.h"
#include "platform/fatal.h"
#include "platform/file_path.h"
#include "platform/process.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

namespace {

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  while (!text.empty() && text.front() == '\n') text.erase(text.begin());
  return text;
}

// "Parse error at line N:\nreason\n" says its line apart; the report gives the reason.
std::string ProblemText(const std::string& text) {
  if (text.rfind("Parse error", 0) == 0) {
    size_t reason = text.find('\n');
    return "XML syntax error: " + Trimmed(text.substr(reason + 1));
  }
  return Trimmed(text);
}

void ReportFailure(CheckReport* report, const std::string& file, std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const FatalError& error) {
    ReportProblem(report, file, g_scene_xml.line, "", Trimmed(error.what()));
  } catch (const ProcessExit& exit) {
    ReportProblem(report, file, g_scene_xml.line, "", FormatText("ends the demo (status %d)", exit.status));
  } catch (const std::exception& error) {
    ReportProblem(report, file, g_scene_xml.line, "", error.what());
  }
}

int32_t KeyCount(const SceneObject* object) {
  if (!object->motion) return 0;
  const Motion* m = object->motion;
  return m->position.key_count + m->rotation.key_count + m->scale.key_count + m->alpha.key_count +
         m->fov.key_count;
}

void ReportChannels(CheckReport* report, const char* label, const SceneObject* object) {
  const Motion* m = object->motion;
  if (!m) {
    ReportInfo(report, "  %s: no motion", label);
    return;
  }
  ReportInfo(report, "  %s: keys: position %d, rotation %d, scale %d, alpha %d, fov %d", label,
             m->position.key_count, m->rotation.key_count, m->scale.key_count, m->alpha.key_count,
             m->fov.key_count);
}

void ReportScene(CheckReport* report, const std::string& file, const Scene& scene) {
  ReportInfo(report, "%s: scene script, %d %s, %d %s, camera with %d keys", file.c_str(), scene.mesh_count,
             Plural(scene.mesh_count, "mesh", "meshes"), scene.object_count,
             Plural(scene.object_count, "object", "objects"), KeyCount(scene.camera));
  for (const Mesh* mesh = scene.meshes; mesh; mesh = mesh->next) {
    ReportInfo(report, "  mesh \"%s\": %d vertices, %d triangles, %d %s%s%s", mesh->name, mesh->vertex_count,
               mesh->triangle_count, mesh->surface_count, Plural(mesh->surface_count, "surface", "surfaces"),
               mesh->morph_count == 2 ? ", morph target" : "", mesh->lightmap ? ", lightmap" : "");
  }
  for (const SceneObject* object = scene.objects; object; object = object->next) {
    std::string label = FormatText("object \"%s\" on mesh \"%s\"", object->name, object->mesh ? object->mesh->name : "");
    ReportChannels(report, label.c_str(), object);
  }
  ReportChannels(report, "camera", scene.camera);
}

const Mesh* MeshAt(const Scene& scene, int32_t number) {
  const Mesh* mesh = scene.meshes;
  while (mesh && --number > 0) mesh = mesh->next;
  return mesh;
}

void CheckNeeds(CheckReport* report, const std::string& file, const Scene& scene, const ScriptNeeds& needs) {
  if (scene.mesh_count < needs.meshes) {
    ReportProblem(report, file, 0, "",
                  FormatText("the part needs %d meshes, the script defines %d", needs.meshes, scene.mesh_count));
  }
  if (scene.object_count < needs.objects) {
    ReportProblem(report, file, 0, "",
                  FormatText("the part needs %d objects, the script defines %d", needs.objects, scene.object_count));
  }
  for (int32_t number : needs.morphed_meshes) {
    const Mesh* mesh = MeshAt(scene, number);
    if (mesh && mesh->morph_count != 2) {
      ReportProblem(report, file, 0, "",
                    FormatText("mesh %d (\"%s\") has no morph target; the part \"%s\" morphs it (loadlwo morphfile)",
                               number, mesh->name, needs.part));
    }
  }
}

}  // namespace

bool LoadScriptReported(CheckReport* report, const std::string& file, MemChunk chunk, Scene* scene) {
  ResetSceneXmlState();
  g_scene_xml.quiet = 1;
  std::exception_ptr failure;
  std::vector<std::string> lines = CaptureConsole([&] { LoadSceneXml(scene, chunk); }, &failure);
  for (const ScriptProblem& problem : g_scene_xml.problems) {
    ReportProblem(report, file, problem.line, "", ProblemText(problem.text));
  }
  ReportConsoleLines(report, file, lines);
  if (failure) ReportFailure(report, file, failure);
  return !failure;
}

bool CheckScript(CheckReport* report, const std::string& file, MemChunk chunk, const ScriptNeeds* needs) {
  int before = report->problem_count;
  Scene scene;
  const bool loaded = LoadScriptReported(report, file, chunk, &scene);
  if (!g_scene_xml.new_scenes.empty()) {
    ReportProblem(report, file, 0, "",
                  "<newscene> starts a scene of its own, which no demo part draws: what follows it is lost");
  }
  for (const SceneObject* object = scene.objects; object; object = object->next) {
    CheckMotionKeys(report, file, FormatText("object \"%s\"", object->name), object->motion);
  }
  CheckMotionKeys(report, file, "camera", scene.camera->motion);
  if (loaded && needs) CheckNeeds(report, file, scene, *needs);
  ReportScene(report, file, scene);
  ResetSceneXmlState();
  return report->problem_count == before;
}

bool CheckScriptFile(CheckReport* report, const std::string& path, MemChunk chunk) {
  const std::filesystem::path script = PathFromUtf8(path);
  std::error_code ignored;
  std::filesystem::path old_dir = std::filesystem::current_path(ignored);
  if (script.has_parent_path()) std::filesystem::current_path(script.parent_path(), ignored);
  bool fine = CheckScript(report, path, chunk, nullptr);
  std::filesystem::current_path(old_dir, ignored);
  return fine;
}
