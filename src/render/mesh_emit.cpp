// Meshes into the triangle pool. DrawMesh and the corner-by-corner interface share one vertex
// routine (vertex_transform.h), so a mesh drawn either way gives the same triangles bit for
// bit; DrawMesh just transforms and projects each vertex once instead of once per corner
// that uses it. Every emitted corner is already projected and every triangle's key (culled,
// depth, clipping needed or not) is settled while its corners are at hand, so the scene pass
// neither projects the corners again nor reads the pool back to cull it.
#include "render/mesh_emit.h"

#include "geometry/mesh.h"
#include "render/scene_pass.h"
#include "render/vertex_transform.h"
#include "resource/texture_ref.h"
#include "resource/texture_table.h"

namespace {

// What the corners of the current mesh need to know, read once per mesh or triangle.
struct EmitSetup : VertexSetup {
  int32_t outline;
};

const Texture* ValidTexture(int32_t id) {
  if (id < 0 || id >= g_texture_table.count) return nullptr;
  const Texture* texture = &g_texture_table.slots[id];
  return texture->pixels ? texture : nullptr;
}

EmitSetup CurrentSetup() {
  EmitSetup s{};
  if (const Texture* t = ValidTexture(g_render.texture_id)) {
    s.texture_width = t->width;
    s.texture_height = t->height;
  }
  if (const Texture* t = ValidTexture(g_render.lightmap_id)) {
    s.lightmap_width = t->width;
    s.lightmap_height = t->height;
  }
  const bool envmap = RenderIsEnabled(CAP_ENVMAP) != 0;
  const bool layer2 = RenderIsEnabled(CAP_ENVMAP_LAYER2) != 0;
  s.envmap_base = envmap && !layer2;
  s.envmap_layer2 = envmap && layer2;
  s.lightmap = g_render.lightmap_id >= 0;
  s.outline = RenderIsEnabled(CAP_OUTLINE);
  return s;
}

// The base coordinate from the corner's clamped TexCoord, unless sphere mapping gave it.
inline void SetBaseCoordinate(const EmitSetup& s, float u, float v, RenderVertex* out) {
  if (s.envmap_base) return;
  out->u = (s.texture_width - 1) * u;
  out->v = (s.texture_height - 1) * v;
}

// The next free pool slot with its ids and outline flag set, or null when the pool is full
// (the triangle is counted as dropped; RenderScene reports it).
RenderTriangle* NextSlot(const EmitSetup& s) {
  RenderContext& r = g_render;
  if (!r.triangles || r.triangle_count >= TRIANGLE_POOL_SIZE) {
    ++r.dropped_triangles;
    return nullptr;
  }
  const int32_t i = r.triangle_count++;
  r.triangle_textures[i] = r.texture_id;
  r.triangle_lightmaps[i] = r.lightmap_id;
  r.triangle_outlines[i] = s.outline;
  return &r.triangles[i];
}

inline float Clamp01(float x) { return x > 1.0f ? 1.0f : (x < 0.0f ? 0.0f : x); }

void EmitStoredCorners() {
  const EmitSetup s = CurrentSetup();
  RenderTriangle* slot = NextSlot(s);
  if (!slot) return;
  for (int k = 0; k < 3; ++k) {
    CornerAttributes& c = g_render.corners[k];
    TransformVertex(g_render.current, s, c.position, c.normal, c.u2, c.v2, &slot->corners[k]);
    SetBaseCoordinate(s, c.u, c.v, &slot->corners[k]);
  }
  const ClipPlaneLanes planes = ClipPlanesAsLanes(g_render.clip_planes);
  g_render.triangle_keys[slot - g_render.triangles] = TriangleKey(planes, slot->corners);
}

// Every vertex of the mesh through the current matrix into the vertex cache; returns how many.
int32_t TransformMeshVertices(const Mesh* mesh, const EmitSetup& s) {
  const int32_t count = mesh->vertex_count < VERTEX_CACHE_SIZE ? mesh->vertex_count : VERTEX_CACHE_SIZE;
  TransformMeshVertices(g_render.current, s, mesh->vertices, count, g_render.vertex_cache);
  return count;
}

}  // namespace

void BindTexture(int32_t id) { g_render.texture_id = id; }
void BindLightmap(int32_t id) { g_render.lightmap_id = id; }
void BeginTriangles() { g_render.corner_index = 0; }
void EndTriangles() {}

void TexCoord(float u, float v) {
  CornerAttributes& c = g_render.corners[g_render.corner_index % 3];
  c.u = Clamp01(u);
  c.v = Clamp01(v);
}

void LightmapCoord(float u, float v) {
  CornerAttributes& c = g_render.corners[g_render.corner_index % 3];
  c.u2 = u;
  c.v2 = v;
}

void Normal(float x, float y, float z) {
  CornerAttributes& c = g_render.corners[g_render.corner_index % 3];
  c.normal[0] = x;
  c.normal[1] = y;
  c.normal[2] = z;
}

void Vertex(float x, float y, float z) {
  RenderContext& r = g_render;
  if (r.corner_index < 0 || r.corner_index >= 3) return;
  CornerAttributes& c = r.corners[r.corner_index];
  c.position[0] = x;
  c.position[1] = y;
  c.position[2] = z;
  if (++r.corner_index < 3) return;
  EmitStoredCorners();
  r.corner_index = 0;
}

void DrawMesh(const Mesh* mesh) {
  if (!mesh) return;
  const TextureRef* texture = mesh->surface_count > 0 ? mesh->surface_textures[0] : nullptr;
  BindTexture(texture ? texture->id : -1);
  BindLightmap(mesh->lightmap ? mesh->lightmap->id : -1);
  if (mesh->env_map) RenderEnable(CAP_ENVMAP); else RenderDisable(CAP_ENVMAP);
  if (mesh->outline) RenderEnable(CAP_OUTLINE); else RenderDisable(CAP_OUTLINE);
  BeginTriangles();
  if (!mesh->triangles || !mesh->vertices || !g_render.vertex_cache) return;
  const EmitSetup s = CurrentSetup();
  const int32_t vertex_count = TransformMeshVertices(mesh, s);
  const ClipPlaneLanes planes = ClipPlanesAsLanes(g_render.clip_planes);
  const RenderVertex* transformed = g_render.vertex_cache;
  for (int32_t i = 0; i < mesh->triangle_count; ++i) {
    const MeshTriangle& t = mesh->triangles[i];
    const int32_t index[3] = {t.index0, t.index1, t.index2};
    const float u[3] = {t.u0, t.u1, t.u2};
    const float v[3] = {t.t0, t.t1, t.t2};
    bool in_range = true;
    for (int k = 0; k < 3; ++k) in_range &= index[k] >= 0 && index[k] < vertex_count;
    if (!in_range) continue;
    RenderTriangle* slot = NextSlot(s);
    if (!slot) continue;
    for (int k = 0; k < 3; ++k) {
      slot->corners[k] = transformed[index[k]];
      SetBaseCoordinate(s, Clamp01(u[k]), Clamp01(v[k]), &slot->corners[k]);
    }
    g_render.triangle_keys[slot - g_render.triangles] = TriangleKey(planes, slot->corners);
  }
  EndTriangles();
}

void ProjectVertex(RenderVertex* corner) {
  const RenderContext& r = g_render;
  const double z = corner->z == 0.0 ? -1.0 : corner->z;
  const double k = r.focal_length / z;
  corner->sx = (float)((k * corner->x + r.cx) * r.scale_x);
  corner->sy = (float)((k * corner->y + r.cy) * r.scale_y);
}
