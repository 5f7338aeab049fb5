// Meshes into the pools. A pooled triangle names three vertices of the vertex pool and
// carries only its own base coordinates and ids, so a mesh's vertices are transformed and
// projected once each and its triangles cost twelve bytes of indices instead of three whole
// corners. DrawMesh and the corner-by-corner interface share one vertex routine
// (vertex_transform.h), so a mesh drawn either way gives the same corners bit for bit. Every
// triangle's key (culled, depth, clipping needed or not) is read off its vertices' flags when
// it is emitted and its sort row appended, so the scene pass never reads the pool back to
// cull it.
#include "render/mesh_emit.h"
#include "render/projection.h"

#include "platform/sse2.h"

#include <algorithm>
#include <cstddef>

#include "geometry/mesh.h"
#include "render/triangle_key.h"
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
  const RenderContext& r = g_render;
  EmitSetup s{};
  if (const Texture* t = ValidTexture(r.texture_id)) {
    s.texture_width = t->width;
    s.texture_height = t->height;
  }
  if (const Texture* t = ValidTexture(r.lightmap_id)) {
    s.lightmap_width = t->width;
    s.lightmap_height = t->height;
  }
  const bool envmap = RenderIsEnabled(CAP_ENVMAP) != 0;
  const bool layer2 = RenderIsEnabled(CAP_ENVMAP_LAYER2) != 0;
  s.envmap_base = envmap && !layer2;
  s.envmap_layer2 = envmap && layer2;
  s.lightmap = r.lightmap_id >= 0;
  s.planes = ClipPlanesAsLanes(r.clip_planes);
  s.inside = SurelyInsideRectangle(r.clip_planes, r.focal_length, r.cx, r.cy, r.scale_x, r.scale_y);
  s.right = (float)(r.frame.width - 1);
  s.bottom = (float)(r.frame.height - 1);
  s.outline = RenderIsEnabled(CAP_OUTLINE);
  return s;
}

inline float Clamp01(float x) { return x > 1.0f ? 1.0f : (x < 0.0f ? 0.0f : x); }

// The next free pool slot with its ids and outline flag set, or null when the pool is full
// (the triangle is counted as dropped; RenderScene reports it).
RenderTriangle* NextSlot(const EmitSetup& s) {
  RenderContext& r = g_render;
  if (!r.triangles || r.triangle_count >= TRIANGLE_POOL_SIZE) {
    ++r.dropped_triangles;
    return nullptr;
  }
  RenderTriangle* slot = &r.triangles[r.triangle_count++];
  slot->texture = r.texture_id;
  slot->lightmap = r.lightmap_id;
  slot->outline = s.outline;
  return slot;
}

// Scales for the base coordinates of a mesh triangle, (u0, u1, u2, v0) and (v1, v2).
struct BaseScales {
  __m128 first, rest;
};

BaseScales BaseScalesOf(const EmitSetup& s) {
  const float w = (float)(s.texture_width - 1), h = (float)(s.texture_height - 1);
  return {_mm_setr_ps(w, w, w, h), _mm_setr_ps(h, h, 0.0f, 0.0f)};
}

// The three corners' base coordinates of a mesh triangle, clamped to 0..1 and scaled to
// texels, four and two at a time as Clamp01 and SetBaseCoordinate would (maxps and minps
// return their second operand for NaN and for zeros of either sign, which keeps NaN and -0).
inline void SetMeshBaseCoordinates(const BaseScales& scales, const MeshTriangle& t, RenderTriangle* slot) {
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
  const __m128 first = _mm_setr_ps(t.u0, t.u1, t.u2, t.t0);
  const __m128 rest = _mm_setr_ps(t.t1, t.t2, 0.0f, 0.0f);
  const __m128 a = _mm_mul_ps(scales.first, _mm_min_ps(one, _mm_max_ps(zero, first)));
  const __m128 b = _mm_mul_ps(scales.rest, _mm_min_ps(one, _mm_max_ps(zero, rest)));
  static_assert(offsetof(RenderTriangle, v) == offsetof(RenderTriangle, u) + 3 * sizeof(float));
  _mm_storeu_ps(reinterpret_cast<float*>(reinterpret_cast<char*>(slot) + offsetof(RenderTriangle, u)), a);
  _mm_storel_pi(reinterpret_cast<__m64*>(&slot->v[1]), b);
}

// Corner k's base coordinate: from its clamped TexCoord, unless sphere mapping gave it.
inline void SetBaseCoordinate(const EmitSetup& s, int k, float u, float v, RenderTriangle* slot) {
  if (s.envmap_base) {
    const CameraVertex& c = g_render.camera_vertices[slot->vertex[k]];
    slot->u[k] = c.u;
    slot->v[k] = c.v;
    return;
  }
  slot->u[k] = (s.texture_width - 1) * u;
  slot->v[k] = (s.texture_height - 1) * v;
}

// The slot's row, unless its vertices say it is culled.
void KeyTriangle(const RenderTriangle* slot) {
  RenderContext& r = g_render;
  const uint32_t key = TriangleKey(r.screen_vertices, r.camera_vertices, slot->vertex);
  if (key != CULLED_TRIANGLE) r.rows[r.row_count++] = SortRow{key, (int32_t)(slot - r.triangles)};
}

// A triangle of three corners of its own, each transformed into a fresh pool vertex. The
// corners' normals are scaled in place, as TransformVertex does.
void EmitOwnCorners(const EmitSetup& s, CornerAttributes corners[3]) {
  RenderTriangle* slot = NextSlot(s);
  if (!slot) return;
  RenderContext& r = g_render;
  for (int k = 0; k < 3; ++k) {
    CornerAttributes& c = corners[k];
    const int32_t at = r.vertex_count++;
    TransformVertex(r.current, s, c.position, c.normal, c.u2, c.v2, &r.screen_vertices[at], &r.camera_vertices[at]);
    slot->vertex[k] = at;
    SetBaseCoordinate(s, k, c.u, c.v, slot);
  }
  KeyTriangle(slot);
}

// Negative indices turn into large unsigned ones and fail the same test.
bool InRange(const MeshTriangle& t, int32_t vertex_count) {
  const uint32_t n = (uint32_t)vertex_count;
  return (uint32_t)t.index0 < n && (uint32_t)t.index1 < n && (uint32_t)t.index2 < n;
}

// The mesh's triangles over its vertices from first on in the pool. The pool's pointers and
// counts are kept in locals: read through g_render, every store into the pool would have the
// compiler load them again.
void EmitMeshTriangles(const Mesh* mesh, const EmitSetup& s, int32_t first, int32_t vertex_count) {
  RenderContext& r = g_render;
  RenderTriangle* const triangles = r.triangles;
  const ScreenVertex* const screen = r.screen_vertices;
  const CameraVertex* const camera = r.camera_vertices;
  SortRow* const rows = r.rows;
  const int32_t texture = r.texture_id, lightmap = r.lightmap_id, outline = s.outline;
  const BaseScales scales = BaseScalesOf(s);
  int32_t triangle_count = r.triangle_count, row_count = r.row_count, dropped = 0;
  for (int32_t i = 0; i < mesh->triangle_count; ++i) {
    __builtin_prefetch(&mesh->triangles[i + 8]);  // a little past the end is never read
    const MeshTriangle& t = mesh->triangles[i];
    if (!InRange(t, vertex_count)) continue;
    if (triangle_count >= TRIANGLE_POOL_SIZE) {
      ++dropped;
      continue;
    }
    RenderTriangle& slot = triangles[triangle_count];
    slot.vertex[0] = first + t.index0;
    slot.vertex[1] = first + t.index1;
    slot.vertex[2] = first + t.index2;
    slot.texture = texture;
    slot.lightmap = lightmap;
    slot.outline = outline;
    // Only a triangle that is drawn needs its base coordinates: about half of a closed mesh
    // faces away, and its slot keeps the vertices and ids alone.
    const uint32_t key = TriangleKey(screen, camera, slot.vertex);
    if (key != CULLED_TRIANGLE) {
      if (s.envmap_base) {
        for (int k = 0; k < 3; ++k) slot.u[k] = camera[slot.vertex[k]].u, slot.v[k] = camera[slot.vertex[k]].v;
      } else {
        SetMeshBaseCoordinates(scales, t, &slot);
      }
      rows[row_count++] = SortRow{key, triangle_count};
    }
    ++triangle_count;
  }
  r.triangle_count = triangle_count;
  r.row_count = row_count;
  r.dropped_triangles += dropped;
}

// The mesh's vertices would leave fewer than three for each free triangle slot: every
// triangle goes with corners of its own instead.
void EmitMeshCornerByCorner(const Mesh* mesh, const MeshVertex* vertices, const EmitSetup& s, int32_t vertex_count) {
  for (int32_t i = 0; i < mesh->triangle_count; ++i) {
    const MeshTriangle& t = mesh->triangles[i];
    if (!InRange(t, vertex_count)) continue;
    const int32_t index[3] = {t.index0, t.index1, t.index2};
    const float u[3] = {t.u0, t.u1, t.u2}, v[3] = {t.t0, t.t1, t.t2};
    CornerAttributes corners[3];
    for (int k = 0; k < 3; ++k) {
      const MeshVertex& m = vertices[index[k]];
      corners[k] = CornerAttributes{{m.x, m.y, m.z}, {m.nx, m.ny, m.nz}, Clamp01(u[k]), Clamp01(v[k]), m.lu, m.lv};
    }
    EmitOwnCorners(s, corners);
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
  EmitOwnCorners(CurrentSetup(), r.corners);
  r.corner_index = 0;
}

void DrawMesh(const Mesh* mesh, const MeshVertex* drawn_vertices) {
  if (!mesh) return;
  const MeshVertex* vertices = drawn_vertices ? drawn_vertices : mesh->vertices;
  const TextureRef* texture = mesh->surface_count > 0 ? mesh->surface_textures[0] : nullptr;
  BindTexture(texture ? texture->id : -1);
  BindLightmap(mesh->lightmap ? mesh->lightmap->id : -1);
  if (mesh->env_map) RenderEnable(CAP_ENVMAP); else RenderDisable(CAP_ENVMAP);
  if (mesh->outline) RenderEnable(CAP_OUTLINE); else RenderDisable(CAP_OUTLINE);
  BeginTriangles();
  RenderContext& r = g_render;
  if (!mesh->triangles || !vertices || !r.triangles) return;
  const EmitSetup s = CurrentSetup();
  const int32_t vertex_count = mesh->vertex_count < 0 ? 0 : std::min(mesh->vertex_count, VERTEX_CACHE_SIZE);
  if (r.triangle_count >= TRIANGLE_POOL_SIZE) {  // a full pool: the triangles are only counted
    for (int32_t i = 0; i < mesh->triangle_count; ++i) r.dropped_triangles += InRange(mesh->triangles[i], vertex_count);
    return;
  }
  if (r.vertex_count + vertex_count > VERTEX_CACHE_SIZE + 3 * r.triangle_count) {
    EmitMeshCornerByCorner(mesh, vertices, s, vertex_count);
    return;
  }
  const int32_t first = r.vertex_count;
  TransformMeshVertices(r.current, s, vertices, vertex_count, &r.screen_vertices[first],
                        &r.camera_vertices[first]);
  r.vertex_count += vertex_count;
  EmitMeshTriangles(mesh, s, first, vertex_count);
  EndTriangles();
}

void ClearTrianglePool() {
  RenderContext& r = g_render;
  r.triangle_count = 0;
  r.vertex_count = 0;
  r.row_count = 0;
  r.dropped_triangles = 0;
}

