// The intermediate form of an LWO2 object file: what the chunk reader collects before
// LoadLwoMesh turns it into a Mesh. It lives for one load only.
//
// Layers are merged as they are read: every point index stored here is a "merged" index
// (the points of all earlier layers come first), and every polygon number counts the
// polygons of the whole file in file order, so the mesh can take the layers one after the
// other without renumbering.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/mesh.h"

struct LwoLayer {
  std::vector<float> points;           // x, y, z per point, y negated
  std::vector<int32_t> polygons;       // three merged point indices per triangle
  std::vector<int32_t> polygon_faces;  // per triangle: the file polygon it was cut from
  int32_t point_count;
  int32_t polygon_count;  // triangles (polygons of more than three corners are triangulated)
  int32_t point_base;     // points of the layers before this one
  LwoLayer* next;
  LwoLayer* prev;
};

// A VMAP TXUV (per point) or VMAD TXUV (per polygon corner) map.
struct LwoUvMap {
  std::string name;
  int32_t per_polygon;            // 1 for a VMAD: each entry names a point of one polygon
  std::vector<int32_t> vertices;  // merged point index per entry
  std::vector<int32_t> faces;     // VMAD only: file polygon per entry
  std::vector<float> u;
  std::vector<float> v;           // already flipped as 1 - v
  int32_t entry_count;
  LwoUvMap* next;
  LwoUvMap* prev;
};

struct LwoWeightMap {
  std::string name;
  std::vector<int32_t> vertices;
  std::vector<float> weights;
  int32_t entry_count;
  LwoWeightMap* next;
  LwoWeightMap* prev;
};

struct LwoSurface {
  std::string name;
  std::string uv_map_name;  // "" when the surface names no UV map
  float r, g, b;            // 0, 0, 0 without a COLR
  int32_t image;            // clip index of the surface's image; 0 without one
  LwoSurface* next;
  LwoSurface* prev;
};

struct LwoClip {
  int32_t index;
  std::string file_name;  // "" when the clip holds no still image
  LwoClip* next;
  LwoClip* prev;
};

// Triangles an object may make. Far beyond any real mesh (the renderer draws 32000 a frame),
// it keeps a hostile file of large polygons from claiming gigabytes.
constexpr int32_t LWO_MAX_TRIANGLES = 1 << 22;

// What the most recent POLS chunk was: PTAG and VMAD number the polygons of that chunk.
constexpr int32_t LWO_POLS_NONE = 0;     // no POLS yet
constexpr int32_t LWO_POLS_READ = 1;     // a FACE or PTCH chunk that was read
constexpr int32_t LWO_POLS_SKIPPED = 2;  // a type the mesh has no use for (CURV, BONE, ...)

struct LwoObject {
  LwoLayer* layers;
  int32_t layer_count;
  LwoUvMap* uv_maps;
  int32_t uv_map_count;
  LwoWeightMap* weight_maps;
  int32_t weight_map_count;
  std::vector<int32_t> face_tags;  // PTAG SURF: tag index per file polygon, -1 when untagged
  std::vector<std::string> tags;   // the TAGS strings in file order
  LwoSurface* surfaces;
  int32_t surface_count;  // at most MESH_MAX_SURFACES are kept
  LwoClip* clips;
  int32_t clip_count;
  int32_t total_point_count;
  int32_t total_polygon_count;  // triangles, over every layer
  int32_t total_face_count;     // polygons as the file has them, over every layer

  // What the reader noticed without failing, for the load's summary.
  int32_t triangulated_polygons;  // polygons of more than three corners
  int32_t skipped_polygons;       // polygons of fewer than three corners
  int32_t patch_chunks;           // POLS PTCH chunks, read as plain polygons
  int32_t dropped_surfaces;       // SURF chunks beyond MESH_MAX_SURFACES
  int32_t fanned_polygons;        // cut as fans once the triangulation work ran out
  int64_t triangulation_work;     // corner tests of the ear clipping so far, less the credit earned
  std::vector<std::string> warnings;  // what was skipped to read the rest, with chunk and offset

  // Reader state.
  const char* file_name;
  const uint8_t* file_start;  // for the offsets in messages
  int32_t in_form;
  // The node of each list most recently appended (its tail); POLS fills the current layer.
  LwoLayer* current_layer;
  LwoUvMap* current_uv_map;
  LwoWeightMap* current_weight_map;
  LwoSurface* current_surface;
  LwoClip* current_clip;
  int32_t pols_state;       // LWO_POLS_*
  int32_t pols_first_face;  // the first polygon of the most recent POLS
  int32_t pols_face_count;
  int32_t wrong_format;     // 1 when the file is not FORM/LWO2
  int32_t failed;           // 1 once an error has been recorded; reading stops
  std::string error;        // the first error, naming the file, the chunk and the offset
};

// Reads a whole LWO2 file from memory into an empty object. Returns 1 when the file was
// read, 0 on any error: then object->error says what went wrong (a file that is not LWO2
// also has wrong_format set, after the "Wrong File Format!" message), and the object must
// still be freed.
int ReadLwoFile(LwoObject* object, const uint8_t* data, int32_t size, const char* file_name);

// Reads the chunk at bytes (4-byte ID, 4-byte big-endian size, data, a pad byte after an
// odd size) into the object; the chunk must end at or before end, the end of its parent.
// Returns the chunk's size field, or -1 after recording an error. FORM reads its children.
int32_t ReadLwoChunk(const uint8_t* bytes, const uint8_t* end, LwoObject* object);

// Position in SURF order of the surface named like tag string number tag (case-sensitive),
// or -1.
int32_t FindSurfaceForTag(const LwoObject* object, int32_t tag);

void FreeLwoObject(LwoObject* object);
