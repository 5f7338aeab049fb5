// Meshes into the triangle pool. DrawMesh and the corner-by-corner interface share one corner
// routine, so a mesh drawn either way gives the same triangles bit for bit; DrawMesh just
// skips the round trip through the stored corner attributes.
#include "render/mesh_emit.h"

#include <cmath>

#include "geometry/mesh.h"
#include "resource/texture_ref.h"
#include "resource/texture_table.h"

namespace {

// What the corners of the current mesh need to know, read once per mesh or triangle.
struct EmitSetup {
  int32_t texture_width, texture_height;    // 0 when the id names no texture
  int32_t lightmap_width, lightmap_height;
  bool envmap_base;    // sphere-mapped coordinates go to the base layer
  bool envmap_layer2;  // ... or to the lightmap layer
  bool lightmap;       // a lightmap id is bound (valid or not): u2, v2 are written
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

// Sphere mapping: the unit normal's x, y spread over the texture round its (integer) centre.
inline float SphereCoordinate(int32_t size, float n) { return (float)(size * n * 0.5 + size / 2); }

// normal is scaled by 100 in place: the stored corner normal is replaced, as it always was.
// The normal goes through the whole matrix, translation included, so its direction depends
// on where the object lies; the sphere-mapped pictures were made that way.
inline void EmitCorner(const Matrix4& m, const EmitSetup& s, const double position[3], double normal[3],
                       float u, float v, float lu, float lv, RenderVertex* out) {
  double p[3];
  TransformPoint(m, position[0], position[1], position[2], p);
  out->x = p[0];
  out->y = p[1];
  out->z = p[2];
  normal[0] *= 100.0;
  normal[1] *= 100.0;
  normal[2] *= 100.0;
  double n[3];
  TransformPoint(m, normal[0], normal[1], normal[2], n);
  float nx = (float)n[0], ny = (float)n[1], nz = (float)n[2];
  const double length = std::sqrt((double)nx * nx + (double)ny * ny + (double)nz * nz);
  if (length > 0.0) {  // a zero normal stays zero rather than turning into NaN coordinates
    nx = (float)(nx / length);
    ny = (float)(ny / length);
    nz = (float)(nz / length);
  }
  out->nx = nx;
  out->ny = ny;
  out->nz = nz;
  if (s.envmap_base) {
    out->u = SphereCoordinate(s.texture_width, nx);
    out->v = SphereCoordinate(s.texture_height, ny);
  } else {
    out->u = (s.texture_width - 1) * u;
    out->v = (s.texture_height - 1) * v;
  }
  if (s.envmap_layer2) {
    out->u2 = SphereCoordinate(s.lightmap_width, nx);
    out->v2 = SphereCoordinate(s.lightmap_height, ny);
  } else if (s.lightmap) {
    out->u2 = (s.lightmap_width - 1) * lu;
    out->v2 = (s.lightmap_height - 1) * lv;
  } else {
    out->u2 = out->v2 = 0.0f;
  }
  out->sx = out->sy = 0.0f;
  out->clip_distance = 0.0f;
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
    EmitCorner(g_render.current, s, c.position, c.normal, c.u, c.v, c.u2, c.v2, &slot->corners[k]);
  }
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
  if (!mesh->triangles || !mesh->vertices) return;
  const EmitSetup s = CurrentSetup();
  const Matrix4 m = g_render.current;
  const MeshVertex* vertices = mesh->vertices;
  for (int32_t i = 0; i < mesh->triangle_count; ++i) {
    const MeshTriangle& t = mesh->triangles[i];
    const int32_t index[3] = {t.index0, t.index1, t.index2};
    const float u[3] = {t.u0, t.u1, t.u2};
    const float v[3] = {t.t0, t.t1, t.t2};
    bool in_range = true;
    for (int k = 0; k < 3; ++k) in_range &= index[k] >= 0 && index[k] < mesh->vertex_count;
    if (!in_range) continue;
    RenderTriangle* slot = NextSlot(s);
    if (!slot) continue;
    for (int k = 0; k < 3; ++k) {
      const MeshVertex& vertex = vertices[index[k]];
      const double position[3] = {vertex.x, vertex.y, vertex.z};
      double normal[3] = {vertex.nx, vertex.ny, vertex.nz};
      EmitCorner(m, s, position, normal, Clamp01(u[k]), Clamp01(v[k]), vertex.lu, vertex.lv, &slot->corners[k]);
    }
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
