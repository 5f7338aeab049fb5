#include "geometry/lwo_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "geometry/lwo_object.h"
#include "geometry/mesh_normals.h"
#include "platform/load_problems.h"
#include "platform/printable_text.h"
#include "platform/log.h"

namespace {

// An error text less the file name it starts with.
std::string WithoutName(const std::string& error, const std::string& file) {
  return error.rfind(file + ": ", 0) == 0 ? error.substr(file.size() + 2) : error;
}

// Says on the console why a read object cannot become a mesh.
bool CheckMeshable(const LwoObject& object) {
  if (object.failed) {
    // A file that is not LWO2 has had its message box; this line says which file it was.
    std::fprintf(stderr, "%s\n", PrintableText(object.error).c_str());
    NoteLoadProblem(object.file_name, WithoutName(object.error, object.file_name));
    return false;
  }
  const char* problem = nullptr;
  if (object.total_point_count == 0) problem = "no points";
  else if (object.total_polygon_count == 0) problem = "no polygons (only FACE and PTCH polygons are read)";
  if (problem) {
    std::fprintf(stderr, "%s: %s\n", PrintableText(object.file_name).c_str(), problem);
    NoteLoadProblem(object.file_name, problem);
    return false;
  }
  if (object.total_point_count > MESH_MAX_VERTICES) {
    std::fprintf(stderr, "%s: %d points, more than the %d a mesh can index\n", PrintableText(object.file_name).c_str(),
                 object.total_point_count, MESH_MAX_VERTICES);
    NoteLoadProblem(object.file_name, "more points than a mesh can index");
    return false;
  }
  return true;
}

void ReportLoad(const LwoObject& object) {
  for (const std::string& warning : object.warnings) LogDebug("LWO2 %s\n", warning.c_str());
  if (object.dropped_surfaces > 0) {
    std::fprintf(stderr, "%s: %d surfaces, only the first %d are used\n", PrintableText(object.file_name).c_str(),
                 object.surface_count + object.dropped_surfaces, MESH_MAX_SURFACES);
  }
  if (object.fanned_polygons > 0) {
    std::fprintf(stderr, "%s: %d polygons of many corners cut as fans (too costly to cut by their shape)\n",
                 PrintableText(object.file_name).c_str(), object.fanned_polygons);
  }
  LogDebug("LWO2 %s: %d layers, %d points, %d polygons -> %d triangles (%d triangulated, %d of fewer than 3 "
           "corners skipped, %d PTCH chunks read as polygons, %lld corner tests)\n",
           object.file_name, object.layer_count, object.total_point_count, object.total_face_count,
           object.total_polygon_count, object.triangulated_polygons, object.skipped_polygons, object.patch_chunks,
           static_cast<long long>(object.triangulation_work));
}

// Also fills face_of_triangle: the file polygon each triangle was cut from.
void CopyLayers(Mesh* mesh, const LwoObject& object, std::vector<int32_t>* face_of_triangle) {
  int32_t triangle = 0;
  for (const LwoLayer* layer = object.layers; layer; layer = layer->next) {
    for (int32_t i = 0; i < layer->point_count; ++i) {
      MeshVertex* v = &mesh->vertices[layer->point_base + i];
      v->x = layer->points[3 * i + 0];
      v->y = layer->points[3 * i + 1];
      v->z = layer->points[3 * i + 2];
    }
    for (int32_t i = 0; i < layer->polygon_count; ++i, ++triangle) {
      MeshTriangle* t = &mesh->triangles[triangle];
      t->index0 = static_cast<int16_t>(layer->polygons[3 * i + 0]);
      t->index1 = static_cast<int16_t>(layer->polygons[3 * i + 1]);
      t->index2 = static_cast<int16_t>(layer->polygons[3 * i + 2]);
      face_of_triangle->push_back(layer->polygon_faces[i]);
    }
  }
}

// The UVs of one map name. Per-point maps of that name in every layer act as one map whose
// entries come in file order; a point that none lists takes the first entry. Per-corner
// entries (VMAD) of the name override them where they apply.
struct UvLookup {
  bool has_points;
  std::vector<int32_t> entry_of_vertex;  // first entry naming the vertex, or -1
  std::vector<float> u, v;
  std::unordered_map<uint64_t, int32_t> entry_of_corner;  // (vertex, polygon) -> entry
  std::vector<float> corner_u, corner_v;
};

uint64_t CornerKey(int32_t vertex, int32_t face) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(vertex)) << 32) | static_cast<uint32_t>(face);
}

UvLookup BuildUvLookup(const LwoObject& object, const std::string& name, int32_t vertex_count) {
  UvLookup lookup;
  lookup.entry_of_vertex.assign(vertex_count, -1);
  for (const LwoUvMap* map = object.uv_maps; map; map = map->next) {
    if (map->name != name) continue;
    for (int32_t e = 0; e < map->entry_count; ++e) {
      if (map->per_polygon) {
        const int32_t entry = static_cast<int32_t>(lookup.corner_u.size());
        if (lookup.entry_of_corner.emplace(CornerKey(map->vertices[e], map->faces[e]), entry).second) {
          lookup.corner_u.push_back(map->u[e]);
          lookup.corner_v.push_back(map->v[e]);
        }
        continue;
      }
      int32_t* entry = &lookup.entry_of_vertex[map->vertices[e]];
      if (*entry < 0) *entry = static_cast<int32_t>(lookup.u.size());
      lookup.u.push_back(map->u[e]);
      lookup.v.push_back(map->v[e]);
    }
  }
  lookup.has_points = !lookup.u.empty();
  return lookup;
}

void ApplyUv(const UvLookup& lookup, int32_t vertex, int32_t face, float* u, float* t) {
  if (lookup.has_points) {
    int32_t entry = lookup.entry_of_vertex[vertex];
    if (entry < 0) entry = 0;
    *u = lookup.u[entry];
    *t = lookup.v[entry];
  }
  if (!lookup.entry_of_corner.empty()) {
    const auto found = lookup.entry_of_corner.find(CornerKey(vertex, face));
    if (found != lookup.entry_of_corner.end()) {
      *u = lookup.corner_u[found->second];
      *t = lookup.corner_v[found->second];
    }
  }
}

// Surface colour components are 0..1; brighter-than-white values saturate.
uint8_t ColourByte(float component) {
  const float scaled = component * 255.0f;
  if (!(scaled > 0.0f)) return 0;
  if (scaled >= 255.0f) return 255;
  return static_cast<uint8_t>(scaled);
}

void AssignSurfaces(Mesh* mesh, const LwoObject& object, const std::vector<int32_t>& face_of_triangle) {
  std::vector<int32_t> surface_of_tag(object.tags.size());
  for (size_t tag = 0; tag < object.tags.size(); ++tag) {
    surface_of_tag[tag] = FindSurfaceForTag(&object, static_cast<int32_t>(tag));
  }
  std::vector<std::vector<int32_t>> lists(object.surface_count);
  for (int32_t m = 0; m < mesh->triangle_count; ++m) {
    const int32_t tag = object.face_tags[face_of_triangle[m]];
    if (tag >= 0 && surface_of_tag[tag] >= 0) lists[surface_of_tag[tag]].push_back(m);
  }
  int32_t l = 0;
  for (const LwoSurface* surface = object.surfaces; surface; surface = surface->next, ++l) {
    const std::vector<int32_t>& list = lists[l];
    mesh->surface_triangle_counts[l] = static_cast<int32_t>(list.size());
    mesh->surface_triangles[l] = new int32_t[list.size()];
    std::copy(list.begin(), list.end(), mesh->surface_triangles[l]);
    const UvLookup lookup = BuildUvLookup(object, surface->uv_map_name, mesh->vertex_count);
    for (int32_t m : list) {
      MeshTriangle* t = &mesh->triangles[m];
      const int32_t face = face_of_triangle[m];
      ApplyUv(lookup, t->index0, face, &t->u0, &t->t0);
      ApplyUv(lookup, t->index1, face, &t->u1, &t->t1);
      ApplyUv(lookup, t->index2, face, &t->u2, &t->t2);
      t->r = ColourByte(surface->r);
      t->g = ColourByte(surface->g);
      t->b = ColourByte(surface->b);
    }
  }
}

void AssignLightmapCoordinates(Mesh* mesh, const LwoObject& object) {
  for (const LwoUvMap* map = object.uv_maps; map; map = map->next) {
    if (map->per_polygon || map->name.compare(0, 8, "Lightmap") != 0) continue;
    for (int32_t e = 0; e < map->entry_count; ++e) {
      MeshVertex* v = &mesh->vertices[map->vertices[e]];
      v->lu = map->u[e];
      v->lv = map->v[e];
    }
  }
}

// The base name of a clip's file: what follows the last '/', '\' or drive colon. Files
// from other tools hold names like "C:Users/me/wall.png" or "..\maps\wall.png".
const char* ClipBaseName(const std::string& path) {
  const size_t cut = path.find_last_of("/\\:");
  return path.c_str() + (cut == std::string::npos ? 0 : cut + 1);
}

void AssignTextureNames(Mesh* mesh, const LwoObject& object) {
  int32_t l = 0;
  for (const LwoSurface* surface = object.surfaces; surface; surface = surface->next, ++l) {
    char* name = mesh->surface_texture_names[l];
    name[0] = '\0';
    for (const LwoClip* clip = object.clips; clip; clip = clip->next) {
      if (clip->index != surface->image) continue;
      const char* base = ClipBaseName(clip->file_name);
      if (std::strlen(base) >= MESH_TEXTURE_NAME_SIZE) {
        LogDebug("LWO2 %s: image name %s cut to %d characters\n", object.file_name, base,
                 MESH_TEXTURE_NAME_SIZE - 1);
      }
      std::snprintf(name, MESH_TEXTURE_NAME_SIZE, "%s", base);
      break;
    }
  }
}

void BuildMesh(Mesh* mesh, const LwoObject& object) {
  mesh->vertex_count = object.total_point_count;
  mesh->triangle_count = object.total_polygon_count;
  mesh->surface_count = object.surface_count;
  mesh->morph_count = 1;
  mesh->vertices = new MeshVertex[mesh->vertex_count]();
  mesh->triangles = AllocateMeshTriangles(mesh->triangle_count);
  std::vector<int32_t> face_of_triangle;
  face_of_triangle.reserve(mesh->triangle_count);
  CopyLayers(mesh, object, &face_of_triangle);
  ComputeMeshNormals(mesh);
  AssignSurfaces(mesh, object, face_of_triangle);
  AssignLightmapCoordinates(mesh, object);
  AssignTextureNames(mesh, object);
}

}  // namespace

int LoadLwoMesh(Mesh* mesh, MemChunk chunk) {
  if (chunk.size <= 0) return 0;
  LwoObject object{};
  ReadLwoFile(&object, chunk.data, chunk.size, chunk.name);
  delete[] chunk.data;
  const bool loadable = CheckMeshable(object);
  if (loadable) {
    ReportLoad(object);
    BuildMesh(mesh, object);
  }
  FreeLwoObject(&object);
  return loadable ? 1 : 0;
}
