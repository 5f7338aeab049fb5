// The scene render pass: objects into the pool, culling and depth keys, the back-to-front
// sort, clipping, fans, fills and outlines.
#include "render/scene_pass.h"

#include <cstdio>

#include "render/clip.h"
#include "render/depth_sort.h"
#include "render/lines.h"
#include "render/mesh_emit.h"
#include "render/rasterizer.h"
#include "resource/texture_table.h"
#include "scene/scene.h"

namespace {

// The planes in the order the pass clips against them.
constexpr int32_t CLIP_ORDER[CLIP_PLANE_COUNT] = {CLIP_NEAR, CLIP_RIGHT, CLIP_TOP, CLIP_BOTTOM, CLIP_LEFT};

const Texture* DrawableTexture(int32_t id) {
  if (id < 0 || id >= g_texture_table.count) return nullptr;
  const Texture* texture = &g_texture_table.slots[id];
  return texture->pixels ? texture : nullptr;
}

// The object turns about its own axes (z, y, x), moves to its place, then the whole world
// moves and turns the other way round the camera.
void SetObjectMatrix(const SceneObject& object, const SceneObject* camera) {
  LoadIdentity();
  Rotate(object.rotation[0], object.rotation[1], object.rotation[2]);
  Translate(object.position[0], object.position[1], object.position[2]);
  if (!camera) return;
  Translate(-camera->position[0], -camera->position[1], -camera->position[2]);
  Rotate(-camera->rotation[0], -camera->rotation[1], -camera->rotation[2]);
}

void EmitObjects(const Scene& scene) {
  for (const SceneObject* object = scene.objects; object; object = object->next) {
    if (!ObjectDrawnAt(object, scene.time)) continue;
    SetObjectMatrix(*object, scene.camera);
    if (!object->hidden && object->mesh) DrawMesh(object->mesh);
  }
}

void ReportDroppedTriangles() {
  RenderContext& r = g_render;
  if (r.dropped_triangles == 0 || r.pool_overflow_reported) return;
  r.pool_overflow_reported = 1;
  std::fprintf(stderr,
               "renderer: a frame emitted %d triangles; the pool holds %d and the rest are not drawn (said once "
               "per run)\n",
               r.triangle_count + r.dropped_triangles, TRIANGLE_POOL_SIZE);
}

void CullAndKey() {
  RenderContext& r = g_render;
  const bool textured = RenderIsEnabled(CAP_TEXTURE) != 0;
  for (int32_t i = 0; i < r.triangle_count; ++i) {
    const uint32_t key = r.triangle_keys[i];
    if (key == CULLED_TRIANGLE) continue;
    SortRow& row = r.rows[r.row_count++];
    row.key = key;
    row.triangle = i;
    row.texture = textured ? r.triangle_textures[i] : -1;
    row.outline = r.triangle_outlines[i];
  }
}

// Strictly inside the frame, so every span the rasterizer walks stays inside it.
bool Inside(const RenderVertex& p, float right, float bottom) {
  return p.sx > 0.0f && p.sx < right && p.sy > 0.0f && p.sy < bottom;
}

bool Drawable(const RenderVertex& a, const RenderVertex& b, const RenderVertex& c) {
  const float right = (float)(g_render.frame.width - 1);
  const float bottom = (float)(g_render.frame.height - 1);
  return Inside(a, right, bottom) && Inside(b, right, bottom) && Inside(c, right, bottom);
}

// The clipped polygon of the row's triangle in polygons[0] or [1]; returns it, with its count
// in m (0 when nothing is left), already projected.
RenderVertex* ClipRow(const RenderTriangle& triangle, RenderVertex polygons[2][CLIP_POLYGON_SIZE], int32_t* m) {
  polygons[0][0] = triangle.corners[0];
  polygons[0][1] = triangle.corners[1];
  polygons[0][2] = triangle.corners[2];
  *m = 3;
  int from = 0;
  for (int32_t plane : CLIP_ORDER) {
    ClipPolygon(g_render.clip_planes[plane], polygons[from], *m, polygons[1 - from], m);
    from = 1 - from;
  }
  for (int32_t k = 0; k < *m; ++k) ProjectVertex(&polygons[from][k]);
  return polygons[from];
}

void DrawFan(const SortRow& row, const RenderVertex* polygon, int32_t m) {
  // A texture id that names no loaded texture is not filled; a lightmap that names none
  // leaves the base texture alone.
  const Texture* texture = DrawableTexture(row.texture);
  const Texture* lightmap = texture ? DrawableTexture(g_render.triangle_lightmaps[row.triangle]) : nullptr;
  const uint32_t white = PackColor(255, 255, 255, 255);
  for (int32_t k = 1; k + 1 < m; ++k) {
    if (!Drawable(polygon[0], polygon[k], polygon[k + 1])) continue;
    RenderVertex copy[3];
    const RenderVertex* fan = polygon;  // the first fan triangle is the polygon's first three corners
    if (k > 1) {
      copy[0] = polygon[0], copy[1] = polygon[k], copy[2] = polygon[k + 1];
      fan = copy;
    }
    if (texture && lightmap) {
      DrawLightmappedTriangle(texture, lightmap, fan);
    } else if (texture) {
      DrawTexturedTriangle(texture, fan);
    }
    if (row.outline) DrawOutline(fan, white);
  }
}

void DrawRow(const SortRow& row) {
  const RenderTriangle& triangle = g_render.triangles[row.triangle];
  if (row.key & KEY_INSIDE_PLANES) {
    DrawFan(row, triangle.corners, 3);
    return;
  }
  RenderVertex polygons[2][CLIP_POLYGON_SIZE];
  int32_t m = 0;
  const RenderVertex* polygon = ClipRow(triangle, polygons, &m);
  if (m >= 3) DrawFan(row, polygon, m);
}

void PrefetchTriangle(const RenderTriangle& triangle) {
  const char* bytes = reinterpret_cast<const char*>(&triangle);
  for (size_t at = 0; at < sizeof(RenderTriangle); at += 64) __builtin_prefetch(bytes + at);
}

}  // namespace

uint32_t TriangleKey(const ClipPlaneLanes& planes, const RenderVertex c[3]) {
  const float right = (float)(g_render.frame.width - 1);
  const float bottom = (float)(g_render.frame.height - 1);
  const float cross = (c[1].sx - c[0].sx) * (c[2].sy - c[0].sy) - (c[1].sy - c[0].sy) * (c[2].sx - c[0].sx);
  if (cross < 0.0f) return CULLED_TRIANGLE;
  if (c[0].z < 0.0 || c[1].z < 0.0 || c[2].z < 0.0) return CULLED_TRIANGLE;
  for (int k = 0; k < 3; ++k) {
    if (c[k].sx >= 0.0f && c[k].sx <= right && c[k].sy >= 0.0f && c[k].sy <= bottom) {
      return DepthKey(c[0].z, c[1].z, c[2].z) | (InsideClipPlanes(planes, c) ? KEY_INSIDE_PLANES : 0);
    }
  }
  return CULLED_TRIANGLE;
}

uint32_t DepthKey(double z0, double z1, double z2) {
  const double scaled = ((z2 + z1 + z0) * 0.3333333333333333 + 500) * 65;
  if (!(scaled > 0.0)) return 0;  // NaN too
  if (scaled >= 65535.0) return 65535;
  return (uint32_t)scaled;
}

void RenderScene(const Scene* scene) {
  RenderContext& r = g_render;
  r.triangle_count = 0;
  r.row_count = 0;
  r.dropped_triangles = 0;
  if (!scene || !r.triangles) return;
  EmitObjects(*scene);
  ReportDroppedTriangles();
  CullAndKey();
  SortRows(r.row_count, r.rows, r.sort_scratch);
  // Sorted rows visit the pool out of order; fetching a few rows ahead hides the misses.
  constexpr int32_t AHEAD = 4;
  for (int32_t i = 0; i < r.row_count; ++i) {
    if (i + AHEAD < r.row_count) PrefetchTriangle(r.triangles[r.rows[i + AHEAD].triangle]);
    DrawRow(r.rows[i]);
  }
}
