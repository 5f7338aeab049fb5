// The software renderer's one process-wide state, in the manner of an immediate-mode
// graphics library: capability flags switched by numeric codes, two blend modes, a current
// matrix, the corner being specified, the triangle and vertex pools of the frame and the
// depth-sort rows.
//
// Life: InitRenderer (after the frame exists) -> any number of RenderScene calls ->
// ReleaseRenderer. Nothing is allocated per frame: the pools, the rows and the sort's scratch
// arrays are made once by InitRenderer.
//
// Coordinates: matrices are row-major and points are row vectors (p' = p x M), so the
// translation sits in entries 12, 13, 14 and A x B applies A first. Camera space has x to the
// right, y down the screen and z into it.
#pragma once

#include <cstdint>

#include "render/render_vertex.h"
#include "resource/texture.h"

// Capability codes of RenderEnable / RenderDisable.
constexpr int32_t CAP_TEXTURE = 0x1001;        // sort rows carry the texture id; switched on at start-up
constexpr int32_t CAP_INERT_1002 = 0x1002;     // a stored flag that nothing reads; start-up switches it on
constexpr int32_t CAP_ENVMAP = 0x1003;         // sphere mapping from the transformed normal
constexpr int32_t CAP_ENVMAP_LAYER2 = 0x1004;  // with CAP_ENVMAP: generated coordinates go to the lightmap layer
constexpr int32_t CAP_OUTLINE = 0x1005;        // emitted triangles also draw three white lines
constexpr int32_t CAP_FIRST = 0x1001;          // codes 0x1001..0x1005, 0x1010..0x1018 are stored
constexpr int32_t CAP_LAST = 0x1018;

// Targets of SetBlendMode: BLEND_LAYER2 selects the second-layer mode, anything else the base mode.
constexpr int32_t BLEND_LAYER2 = 0x1001;
constexpr int32_t BLEND_BASE = 0x2002;
constexpr int32_t BLEND_COPY = 4;  // base mode that copies texels without reading the frame

constexpr int32_t TRIANGLE_POOL_SIZE = 32000;
// Mesh corners index vertices with int16, so DrawMesh never transforms more of a mesh's vertices.
constexpr int32_t VERTEX_CACHE_SIZE = 32768;
// The frame's transformed vertices. A mesh's vertices go in whole only while every pool slot
// still free keeps three vertices of room (pool vertices <= VERTEX_CACHE_SIZE + 3 x pool
// triangles); past that its triangles bring their own three corners each. So the vertices
// never run out before the triangle slots do.
constexpr int32_t VERTEX_POOL_SIZE = VERTEX_CACHE_SIZE + 3 * TRIANGLE_POOL_SIZE;
constexpr float FOCAL_LENGTH = 256.0f;
constexpr float NEAR_OFFSET = -10.0f;
// Degrees to radians as the scripts were authored: 3.14 / 180, not pi / 180.
constexpr double ANGLE_FACTOR = 0.017444444444444446;

struct Matrix4 {
  float m[16];  // entry 4 * row + column
};

// A transformed vertex of the pool, in two records: what every drawn triangle reads, and what
// only emission and clipping read. Kept apart so the draw loop's random reads touch 16 bytes
// a corner.
struct ScreenVertex {
  float sx, sy;  // screen position
  float u2, v2;  // lightmap coordinate in texels (sphere-mapped with CAP_ENVMAP_LAYER2)
};
struct CameraVertex {
  double x, y, z;  // camera space
  float u, v;      // the sphere-mapped base coordinate when CAP_ENVMAP alone is on, else 0
  uint32_t flags;  // VERTEX_* below
};

// What a vertex's own position tells about the triangles that use it.
constexpr uint32_t VERTEX_BEHIND_EYE = 1;     // camera z < 0
constexpr uint32_t VERTEX_ON_SCREEN = 2;      // 0 <= sx <= W - 1 and 0 <= sy <= H - 1
constexpr uint32_t VERTEX_INSIDE_PLANES = 4;  // inside all five clip planes

// The key of a pooled triangle that faces away, is behind the eye or misses the screen
// (depth keys fit in 16 bits).
constexpr uint32_t CULLED_TRIANGLE = 0xFFFFFFFFu;
// Set above the 16 key bits when every corner is inside every clip plane, so the triangle is
// drawn without clipping. The depth sort reads only the low 16 bits.
constexpr uint32_t KEY_INSIDE_PLANES = 1u << 16;

// A pooled triangle: three vertices of the pool and what belongs to the triangle itself.
struct RenderTriangle {
  int32_t vertex[3];
  float u[3], v[3];  // base texture coordinate of each corner in texels; a mesh's culled triangles leave them unset
  int32_t texture;   // texture and lightmap ids (-1: none) and outline flag of its mesh
  int32_t lightmap;
  int32_t outline;
};

// A depth-sort record: larger keys are farther and are drawn first.
struct SortRow {
  uint32_t key;  // 16-bit depth key in the low half, and KEY_INSIDE_PLANES
  int32_t triangle;
};

// Where the rasterizers and the outlines write: a copy of the frame's descriptor, its rows
// pitch pixels apart (InitRenderer makes that the width; a test harness may point the view
// into a wider buffer, with guard columns either side of every row).
struct FrameView {
  int32_t width;
  int32_t height;
  uint32_t* pixels;
  int32_t pitch;
};

// The whole of a frame, its rows one after the other.
inline FrameView FrameViewOf(Texture* frame) { return {frame->width, frame->height, frame->pixels, frame->width}; }

struct CornerAttributes {
  double position[3];
  double normal[3];
  float u, v;    // base coordinate, clamped to 0..1
  float u2, v2;  // lightmap coordinate as given
};

struct RenderContext {
  Matrix4 current;
  Matrix4 scratch[4];  // translation, X, Y and Z rotation
  int32_t caps[CAP_LAST - CAP_FIRST + 1];
  int32_t base_blend_mode;
  int32_t layer2_blend_mode;
  int32_t texture_id;
  int32_t lightmap_id;
  int32_t corner_index;
  CornerAttributes corners[3];
  // The triangle pool (TRIANGLE_POOL_SIZE slots) over the vertex pool (VERTEX_POOL_SIZE).
  RenderTriangle* triangles;
  int32_t triangle_count;
  int32_t dropped_triangles;  // emitted past the pool in the current frame
  int32_t pool_overflow_reported;  // the console line about a full pool is said once per run
  ScreenVertex* screen_vertices;
  CameraVertex* camera_vertices;
  int32_t vertex_count;
  // A row for every pooled triangle that is not culled, in pool order, appended when the
  // triangle is emitted: its key is settled while its vertices are at hand.
  SortRow* rows;
  SortRow* sort_scratch;  // the depth sort's second buffer, made with the rows
  int32_t row_count;
  int32_t cx, cy;
  float focal_length;
  float scale_x, scale_y;
  ClipPlane clip_planes[CLIP_PLANE_COUNT];
  FrameView frame;
  // The frame rows [drawn_top, drawn_bottom) hold every pixel the last RenderScene wrote
  // (a bound, not always the least one): what a caller that puts back the picture under the
  // scene has to put back.
  int32_t drawn_top, drawn_bottom;
};

extern RenderContext g_render;

// The drawn bound for whatever is drawn without a row count at hand: every row of the frame.
inline void MarkEveryRowDrawn() {
  g_render.drawn_top = 0;
  g_render.drawn_bottom = g_render.frame.height;
}

// Allocates the pools and the rows, sets the projection and the clip planes, copies the frame's
// descriptor and sets every flag and mode to its start value (base mode 4, second layer 0,
// no texture, no lightmap). Calling it again releases the previous allocation first.
void InitRenderer(const Texture& frame);

// Frees the pools and the rows and every texture of the texture table. Safe to call twice and
// without InitRenderer.
void ReleaseRenderer();

void RenderEnable(int32_t code);   // unknown codes are ignored
void RenderDisable(int32_t code);
int32_t RenderIsEnabled(int32_t code);  // 0 for unknown codes
// Modes 0 to 7 are the pixel rules of blend.h; every other number is the rule of mode 4, the
// inverted destination (no mode is refused here: a mode that comes from outside, as kra-view's
// --blend, is checked where it is read).
void SetBlendMode(int32_t target, int32_t mode);

void LoadIdentity();
void Translate(float x, float y, float z);    // current := current x T(x, -y, -z)
void Rotate(float ax, float ay, float az);    // current := current x Rz(az) x Ry(ay) x Rx(ax)
void MatMultiply(Matrix4* a, const Matrix4& b);  // a := a x b
// A point through the matrix, translation included, in double precision.
void TransformPoint(const Matrix4& m, double x, double y, double z, double out[3]);
