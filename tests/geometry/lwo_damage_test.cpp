// Damaged files: every one ends in a console line naming the file, the chunk and the offset,
// LoadLwoMesh returns 0 and the mesh stays empty. Run under AddressSanitizer, these also
// show that nothing is read outside the file: each file is handed over in a buffer of
// exactly its size.
#include <cstring>

#include "geometry/lwo_object.h"
#include "geometry_test_support.h"

namespace {

using geometry_test::BigEndian32;
using geometry_test::FindChunk;
using geometry_test::Load;
using geometry_test::LoadedMesh;
using geometry_test::PutBigEndian32;
using geometry_test::TwoTriangleObject;

void ExpectRefused(const std::vector<uint8_t>& bytes, const std::string& expected) {
  LoadedMesh m;
  Load(&m, bytes, "bad.lwo");
  EXPECT_EQ(m.result, 0);
  EXPECT_EQ(m.mesh.vertices, nullptr);
  EXPECT_EQ(m.mesh.triangles, nullptr);
  EXPECT_NE(m.console.find(expected), std::string::npos) << "got: " << m.console;
}

std::vector<uint8_t> Sound() { return WriteLwo(TwoTriangleObject()); }

std::string At(const char* chunk, size_t offset) {
  return std::string("bad.lwo: ") + chunk + " chunk at offset " + std::to_string(offset) + ": ";
}

TEST(LwoDamage, ChunkRunsPastTheForm) {
  std::vector<uint8_t> b = Sound();
  const size_t pnts = FindChunk(b, "PNTS");
  PutBigEndian32(&b, pnts + 4, 0x7FFFFFF0);
  ExpectRefused(b, At("PNTS", pnts) + "size 2147483632 runs past the end of its parent");
  PutBigEndian32(&b, pnts + 4, 0xFFFFFFFF);
  ExpectRefused(b, At("PNTS", pnts) + "size 4294967295 runs past");
}

TEST(LwoDamage, FormRunsPastTheFile) {
  std::vector<uint8_t> b = Sound();
  PutBigEndian32(&b, 4, BigEndian32(b, 4) + 2);
  ExpectRefused(b, At("FORM", 0) + "size " + std::to_string(BigEndian32(b, 4)) + " runs past the end of the file");
}

TEST(LwoDamage, FileTooShortForAHeader) {
  ExpectRefused({'F', 'O', 'R', 'M', 0, 0}, "bad.lwo: FORM chunk at offset 0: file of 6 bytes is too short");
}

TEST(LwoDamage, StringWithoutNul) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoRawChunk(&writer.leading_chunks, "TAGS", {'a', 'b', 'c', 'd'});
  const std::vector<uint8_t> b = WriteLwo(writer);
  ExpectRefused(b, At("TAGS", 20) + "string without a terminating NUL");
}

TEST(LwoDamage, VertexIndexBeyondThePoints) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoPolygon(&writer.layers[0], {0, 1, 4}, "Red");
  const std::vector<uint8_t> b = WriteLwo(writer);
  const size_t third = FindChunk(b, "POLS") + 12 + 2 * 8;
  ExpectRefused(b, At("POLS", third) + "polygon 2: vertex index 4 out of range (4 points in the layer)");
}

TEST(LwoDamage, PolygonsBeforeAnyPoints) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoRawChunk(&writer.leading_chunks, "POLS", {'F', 'A', 'C', 'E', 0, 3, 0, 0, 0, 0, 0, 0});
  ExpectRefused(WriteLwo(writer), "polygons before any PNTS");
}

TEST(LwoDamage, PolygonCutShort) {
  std::vector<uint8_t> b = Sound();
  const size_t pols = FindChunk(b, "POLS");
  b[pols + 12 + 1] = 5;  // triangle 0 claims five corners: the chunk ends inside triangle 1
  b[pols + 12 + 8 + 1] = 5;
  ExpectRefused(b, "POLS chunk at offset");
}

TEST(LwoDamage, TagNamesAMissingPolygon) {
  std::vector<uint8_t> b = Sound();
  const size_t entry = FindChunk(b, "PTAG") + 12 + 4;
  b[entry + 1] = 9;
  ExpectRefused(b, At("PTAG", entry) + "polygon index 9 out of range (2 polygons)");
}

TEST(LwoDamage, UvEntryBeyondThePoints) {
  std::vector<uint8_t> b = Sound();
  const size_t vmap = FindChunk(b, "VMAP");
  const size_t entries = vmap + 8 + 4 + 2 + 8;  // "Texture\0" is 8 bytes
  b[entries + 10 + 1] = 4;                       // entry 1 names point 4
  ExpectRefused(b, At("VMAP", entries + 10) + "vertex index 4 out of range (4 points in the layer)");
}

TEST(LwoDamage, UvEntryCutShort) {
  std::vector<uint8_t> b = Sound();
  const size_t vmap = FindChunk(b, "VMAP");
  // Two bytes fewer: the last entry lacks half of its v.
  const uint32_t size = BigEndian32(b, vmap + 4) - 2;
  PutBigEndian32(&b, vmap + 4, size);
  b.erase(b.begin() + vmap + 8 + size, b.begin() + vmap + 8 + size + 2);
  PutBigEndian32(&b, 4, uint32_t(b.size() - 8));
  ExpectRefused(b, At("VMAP", vmap + 8 + size - 2) + "a float needs 4 bytes, only 2 left");
}

TEST(LwoDamage, CornerMapNamesAMissingPolygon) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoCornerUv(AddLwoCornerUvMap(&writer.layers[0], "Texture"), 0, 2, 0.5f, 0.5f);
  ExpectRefused(WriteLwo(writer), "polygon index 2 out of range (2 polygons)");
}

TEST(LwoDamage, SurfaceSubChunkRunsPastTheSurface) {
  std::vector<uint8_t> b = Sound();
  const size_t surf = FindChunk(b, "SURF");
  const size_t colr = surf + 8 + 4 + 2;  // "Red\0", then "" padded to 2
  ASSERT_EQ(std::memcmp(&b[colr], "COLR", 4), 0);
  b[colr + 4] = 0x7F;
  ExpectRefused(b, At("COLR", colr) + "sub-chunk of SURF: size 32526 runs past its parent");
}

TEST(LwoDamage, SurfaceColourCutShort) {
  std::vector<uint8_t> b = Sound();
  const size_t colr = FindChunk(b, "SURF") + 8 + 6;
  b[colr + 5] = 6;  // a COLR of 6 bytes holds r and half of g
  ExpectRefused(b, "COLR chunk at offset");
}

TEST(LwoDamage, ClipNameWithoutNul) {
  std::vector<uint8_t> b = Sound();
  const size_t clip = FindChunk(b, "CLIP");
  const size_t name = clip + 8 + 4 + 6;
  const size_t end = clip + 8 + BigEndian32(b, clip + 4);
  for (size_t i = name; i < end; ++i) b[i] = 'x';
  ExpectRefused(b, "STIL chunk at offset " + std::to_string(name) + ": string without a terminating NUL");
}

TEST(LwoDamage, PolygonsBeyondTheTriangleLimit) {
  // Flat 1023-corner polygons: 1021 triangles from 2048 bytes each.
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "huge");
  AddLwoPoint(layer, 0, 0, 0);
  const std::vector<int32_t> corners(1023, 0);
  for (int i = 0; i <= LWO_MAX_TRIANGLES / 1021; ++i) AddLwoPolygon(layer, corners, "");
  ExpectRefused(WriteLwo(writer), "more than 4194304 triangles");
}

TEST(LwoDamage, HeaderCutInsideTheForm) {
  std::vector<uint8_t> b = Sound();
  b.resize(b.size() + 4, 'Z');
  PutBigEndian32(&b, 4, uint32_t(b.size() - 8));
  ExpectRefused(b, "chunk header cut short (4 bytes left)");
}

// Cuts a small sound file at every length. Plain cuts leave a FORM that claims more than
// the file holds; cuts whose FORM size is mended reach every chunk handler with too few
// bytes. Either way the load ends in a clean 0 with a line naming the file, or (for a cut
// between whole chunks) a sound smaller mesh.
TEST(LwoDamage, TruncatedAtEveryByte) {
  LwoWriter writer = TwoTriangleObject();
  AddLwoCornerUv(AddLwoCornerUvMap(&writer.layers[0], "Texture"), 0, 1, 0.5f, 0.5f);
  AddLwoUv(AddLwoUvMap(&writer.layers[0], "Lightmap"), 1, 0.5f, 0.5f);
  const std::vector<uint8_t> full = WriteLwo(writer);
  int loaded = 0;
  for (size_t cut = 1; cut < full.size(); ++cut) {
    for (bool mend_form_size : {false, true}) {
      std::vector<uint8_t> b(full.begin(), full.begin() + cut);
      if (mend_form_size && cut >= 8) PutBigEndian32(&b, 4, uint32_t(cut - 8));
      LoadedMesh m;
      Load(&m, b, "cut.lwo");
      if (m.result == 1) {
        ++loaded;
        EXPECT_TRUE(mend_form_size) << "cut at " << cut;
        EXPECT_GT(m.mesh.triangle_count, 0);
      } else {
        EXPECT_EQ(m.mesh.vertices, nullptr) << "cut at " << cut;
        EXPECT_NE(m.console.find("cut.lwo"), std::string::npos) << "cut at " << cut << ": " << m.console;
      }
    }
  }
  EXPECT_GT(loaded, 0) << "cuts after PTAG keep a usable mesh";
}

// Random bytes over a sound file must never crash or read out of bounds.
TEST(LwoDamage, ScrambledBytes) {
  const std::vector<uint8_t> full = Sound();
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> b = full;
    const int changes = 1 + next() % 4;
    for (int i = 0; i < changes; ++i) b[12 + next() % (b.size() - 12)] = uint8_t(next());
    LoadedMesh m;
    Load(&m, b, "scrambled.lwo");
    if (m.result == 1) {
      for (int t = 0; t < m.mesh.triangle_count; ++t) {
        EXPECT_LT(m.mesh.triangles[t].index0, m.mesh.vertex_count);
        EXPECT_GE(m.mesh.triangles[t].index2, 0);
      }
    }
  }
}

TEST(LwoDamage, ReadLwoChunkStopsAtItsParent) {
  const std::vector<uint8_t> b = Sound();
  LwoObject object{};
  object.file_name = "direct.lwo";
  object.file_start = b.data();
  const size_t tags = FindChunk(b, "TAGS");
  // The TAGS chunk read with its parent ending inside it.
  EXPECT_EQ(ReadLwoChunk(b.data() + tags, b.data() + tags + 10, &object), -1);
  EXPECT_NE(object.error.find("direct.lwo: TAGS chunk at offset 12: size"), std::string::npos) << object.error;
  FreeLwoObject(&object);
}

}  // namespace
