// The scene render pass: objects into the pools, the back-to-front sort of the rows emission
// left, clipping, fans, fills and outlines.
#include "render/scene_pass.h"

#include "platform/sse2.h"

#include <cstdio>

#include "render/clip.h"
#include "render/depth_sort.h"
#include "render/lightmap_batch.h"
#include "render/lines.h"
#include "render/mesh_emit.h"
#include "render/projection.h"
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

bool HiddenIn(const SceneObject* object, const RenderOverride* override) {
  if (override) {
    for (int32_t i = 0; i < override->count; ++i) {
      if (override->objects[i] == object) return override->hidden[i] != 0;
    }
  }
  return object->hidden != 0;
}

// The vertices the object's mesh is drawn with: the override's for its mesh, else its own.
const MeshVertex* VerticesIn(const SceneObject* object, const RenderOverride* override) {
  if (override && override->mesh && object->mesh == override->mesh) return override->drawn_vertices;
  return nullptr;
}

void EmitObjects(const Scene& scene, const RenderOverride* override) {
  for (const SceneObject* object = scene.objects; object; object = object->next) {
    if (!ObjectDrawnAt(object, scene.time)) continue;
    SetObjectMatrix(*object, scene.camera);
    if (!HiddenIn(object, override) && object->mesh) DrawMesh(object->mesh, VerticesIn(object, override));
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

// Strictly inside the frame, so every span the rasterizer walks stays inside it.
bool Inside(float sx, float sy) {
  const float right = (float)(g_render.frame.width - 1);
  const float bottom = (float)(g_render.frame.height - 1);
  return sx > 0.0f && sx < right && sy > 0.0f && sy < bottom;
}

bool Drawable(const RenderVertex& a, const RenderVertex& b, const RenderVertex& c) {
  return Inside(a.sx, a.sy) && Inside(b.sx, b.sy) && Inside(c.sx, c.sy);
}

bool PooledDrawable(const RenderTriangle& t) {
  const ScreenVertex* v = g_render.screen_vertices;
  return Inside(v[t.vertex[0]].sx, v[t.vertex[0]].sy) && Inside(v[t.vertex[1]].sx, v[t.vertex[1]].sy) &&
         Inside(v[t.vertex[2]].sx, v[t.vertex[2]].sy);
}

// The clipped polygon of the triangle in polygons[0], in polygons[0] or [1]; returns it, with
// its count in m (0 when nothing is left), already projected.
RenderVertex* ClipTriangle(RenderVertex polygons[2][CLIP_POLYGON_SIZE], int32_t* m) {
  *m = 3;
  int from = 0;
  for (int32_t plane : CLIP_ORDER) {
    ClipPolygon(g_render.clip_planes[plane], polygons[from], *m, polygons[1 - from], m);
    from = 1 - from;
  }
  for (int32_t k = 0; k < *m; ++k) ProjectVertex(&polygons[from][k]);
  return polygons[from];
}

constexpr uint32_t OUTLINE_WHITE = 0xFFFFFFFFu;  // PackColor(255, 255, 255, 255)

// Fills each fan triangle of the polygon that passes the draw test (or is known to), and
// outlines it.
void DrawFan(const Texture* texture, const Texture* lightmap, int32_t outline, const RenderVertex* polygon,
             int32_t m, bool drawable) {
  MarkEveryRowDrawn();
  for (int32_t k = 1; k + 1 < m; ++k) {
    if (!drawable && !Drawable(polygon[0], polygon[k], polygon[k + 1])) continue;
    RenderVertex copy[3];
    const RenderVertex* fan = polygon;  // the first fan triangle is the polygon's first three corners
    if (k > 1) {
      copy[0] = polygon[0], copy[1] = polygon[k], copy[2] = polygon[k + 1];
      fan = copy;
    }
    if (texture && lightmap) {
      DrawLightmappedTriangleInFrame(texture, lightmap, fan);  // it passed the draw test
    } else if (texture) {
      DrawTexturedTriangle(texture, fan);
    }
    if (outline) DrawOutline(fan, OUTLINE_WHITE);
  }
}

// What the rasterizers and the outline read of a triangle that needs no clipping: the screen
// positions and both coordinates.
void ScreenCorners(const RenderTriangle& t, RenderVertex corners[3]) {
  for (int k = 0; k < 3; ++k) {
    const ScreenVertex& v = g_render.screen_vertices[t.vertex[k]];
    corners[k].sx = v.sx;
    corners[k].sy = v.sy;
    corners[k].u = t.u[k];
    corners[k].v = t.v[k];
    corners[k].u2 = v.u2;
    corners[k].v2 = v.v2;
  }
}

// What stays the same for every row of a frame.
struct RowSetup {
  bool textured;          // CAP_TEXTURE
  bool inside_drawable;   // a triangle inside the planes passes the draw test
};

// Inside the planes is decided in the surely-inside rectangle whenever it is valid; when that
// lies strictly inside the frame, such a triangle needs no draw test.
RowSetup RowSetupOfFrame() {
  const RenderContext& r = g_render;
  const InsideRectangle inside = SurelyInsideRectangle(r.clip_planes, r.focal_length, r.cx, r.cy, r.scale_x, r.scale_y);
  const float right = (float)(r.frame.width - 1), bottom = (float)(r.frame.height - 1);
  return RowSetup{RenderIsEnabled(CAP_TEXTURE) != 0, inside.valid && inside.left > 0.0f && inside.right < right &&
                                                         inside.top > 0.0f && inside.bottom < bottom};
}

// A texture id that names no loaded texture is not filled; a lightmap that names none leaves
// the base texture alone. Lightmapped triangles inside the frame wait in the batch, which is
// drawn before anything else is, so the frame sees the rows in their order.
void DrawRow(const SortRow& row, const RowSetup& setup, LightmapBatch* batch) {
  const RenderTriangle& t = g_render.triangles[row.triangle];
  const Texture* texture = setup.textured ? DrawableTexture(t.texture) : nullptr;
  const Texture* lightmap = texture ? DrawableTexture(t.lightmap) : nullptr;
  if (row.key & KEY_INSIDE_PLANES) {
    if (!t.outline && TextureReadable(texture) && TextureReadable(lightmap)) {
      if (setup.inside_drawable || PooledDrawable(t)) QueuePooledTriangle(batch, texture, lightmap, t);
      return;
    }
    RenderVertex corners[3];
    ScreenCorners(t, corners);
    DrawLightmapBatch(batch);
    DrawFan(texture, lightmap, t.outline, corners, 3, setup.inside_drawable);
    return;
  }
  DrawLightmapBatch(batch);
  RenderVertex polygons[2][CLIP_POLYGON_SIZE];
  PooledCorners(row.triangle, polygons[0]);
  int32_t m = 0;
  const RenderVertex* polygon = ClipTriangle(polygons, &m);
  if (m >= 3) DrawFan(texture, lightmap, t.outline, polygon, m, false);
}

// The texel at a corner's coordinates, as the span loops index it; a prefetch only, so the
// coordinates need not be exact (out-of-range ones convert to a marker and still land inside).
void PrefetchTexel(const Texture* texture, float u, float v) {
  if (!texture || static_cast<int64_t>(texture->width) * texture->height < TEXELS_READ) return;
  const uint32_t row = static_cast<uint32_t>(_mm_cvttss_si32(_mm_set_ss(v)));
  const uint32_t column = static_cast<uint32_t>(_mm_cvttss_si32(_mm_set_ss(u)));
  const uint32_t index = (row * 256u + column) & 0xFFFFu;
  __builtin_prefetch(texture->pixels + index);
}

// Sorted rows visit the pool out of order: the triangle a few rows ahead is fetched first,
// then, once its indices are in, the vertices of the one half as far ahead, then, once
// those are in, the texels under the first corner of the next triangle but one (the
// characters' triangles are a few pixels each, so that is most of what they read).
void PrefetchRows(int32_t i) {
  constexpr int32_t AHEAD = 4;
  const RenderContext& r = g_render;
  if (i + AHEAD / 2 < r.row_count) {
    const RenderTriangle& t = r.triangles[r.rows[i + AHEAD / 2].triangle];
    const ScreenVertex& corner = r.screen_vertices[t.vertex[0]];
    PrefetchTexel(DrawableTexture(t.texture), t.u[0], t.v[0]);
    PrefetchTexel(DrawableTexture(t.lightmap), corner.u2, corner.v2);
  }
  if (i + 2 * AHEAD < r.row_count) {
    const char* triangle = reinterpret_cast<const char*>(&r.triangles[r.rows[i + 2 * AHEAD].triangle]);
    __builtin_prefetch(triangle);
    __builtin_prefetch(triangle + sizeof(RenderTriangle) - 1);
  }
  if (i + AHEAD < r.row_count) {
    const RenderTriangle& t = r.triangles[r.rows[i + AHEAD].triangle];
    for (int k = 0; k < 3; ++k) __builtin_prefetch(&r.screen_vertices[t.vertex[k]]);
  }
}

}  // namespace

void PooledCorners(int32_t i, RenderVertex corners[3]) {
  const RenderContext& r = g_render;
  const RenderTriangle& t = r.triangles[i];
  for (int k = 0; k < 3; ++k) {
    const ScreenVertex& s = r.screen_vertices[t.vertex[k]];
    const CameraVertex& c = r.camera_vertices[t.vertex[k]];
    corners[k] = RenderVertex{t.u[k], t.v[k], s.u2, s.v2, c.x, c.y, c.z, s.sx, s.sy, 0.0f};
  }
}

void RenderScene(const FrameView& frame, const Scene* scene, const RenderOverride* override) {
  RenderContext& r = g_render;
  r.frame = frame;
  ClearTrianglePool();
  r.drawn_top = r.frame.height;
  r.drawn_bottom = 0;
  if (!scene || !r.triangles) return;
  EmitObjects(*scene, override);
  ReportDroppedTriangles();
  SortRows(r.row_count, r.rows, r.sort_scratch);
  const RowSetup setup = RowSetupOfFrame();
  LightmapBatch batch;
  for (int32_t i = 0; i < r.row_count; ++i) {
    PrefetchRows(i);
    DrawRow(r.rows[i], setup, &batch);
  }
  DrawLightmapBatch(&batch);
}
