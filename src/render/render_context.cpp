#include "render/render_context.h"

#include <cstring>

#include "render/clip.h"
#include "resource/texture_table.h"

RenderContext g_render;

// Codes 0x1001..0x1005 and 0x1010..0x1018 own a flag; every other code owns nothing.
static int32_t* CapFlag(int32_t code) {
  const bool known = (code >= CAP_FIRST && code <= CAP_OUTLINE) || (code >= 0x1010 && code <= CAP_LAST);
  return known ? &g_render.caps[code - CAP_FIRST] : nullptr;
}

static void FreePool() {
  RenderContext& r = g_render;
  delete[] r.triangles;
  delete[] r.screen_vertices;
  delete[] r.camera_vertices;
  delete[] r.rows;
  delete[] r.sort_scratch;
  r.triangles = nullptr;
  r.screen_vertices = nullptr;
  r.camera_vertices = nullptr;
  r.rows = r.sort_scratch = nullptr;
  r.triangle_count = r.vertex_count = r.row_count = 0;
}

void InitRenderer(const Texture& frame) {
  FreePool();
  RenderContext& r = g_render;
  r = RenderContext{};
  r.triangles = new RenderTriangle[TRIANGLE_POOL_SIZE]();
  r.screen_vertices = new ScreenVertex[VERTEX_POOL_SIZE]();
  r.camera_vertices = new CameraVertex[VERTEX_POOL_SIZE]();
  r.rows = new SortRow[TRIANGLE_POOL_SIZE]();
  r.sort_scratch = new SortRow[TRIANGLE_POOL_SIZE]();
  LoadIdentity();
  r.base_blend_mode = BLEND_COPY;
  r.layer2_blend_mode = 0;
  r.texture_id = -1;
  r.lightmap_id = -1;
  r.cx = frame.width / 2;
  r.cy = frame.height / 2;
  r.focal_length = FOCAL_LENGTH;
  r.scale_x = 1.0f;
  r.scale_y = 1.0f;
  BuildClipPlanes(frame.width - 1, frame.height - 1, FOCAL_LENGTH, NEAR_OFFSET, r.clip_planes);
  r.frame = FrameView{frame.width, frame.height, frame.pixels, frame.width};  // until a RenderScene
}

void ReleaseRenderer() {
  FreePool();
  ReleaseTextureTable();
}

void RenderEnable(int32_t code) {
  if (int32_t* flag = CapFlag(code)) *flag = 1;
}

void RenderDisable(int32_t code) {
  if (int32_t* flag = CapFlag(code)) *flag = 0;
}

int32_t RenderIsEnabled(int32_t code) {
  const int32_t* flag = CapFlag(code);
  return flag ? *flag : 0;
}

void SetBlendMode(int32_t target, int32_t mode) {
  if (target == BLEND_LAYER2) {
    g_render.layer2_blend_mode = mode;
  } else {
    g_render.base_blend_mode = mode;
  }
}
