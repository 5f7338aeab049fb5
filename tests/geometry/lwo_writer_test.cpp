// The writer's files checked against the IFF and LWO2 rules by a walk of their own, not by
// the loader: sizes that add up, even lengths, big-endian numbers, padded strings.
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "geometry_test_support.h"

namespace {

using geometry_test::BigEndian32;

uint32_t BigEndian16(const std::vector<uint8_t>& b, size_t at) { return (uint32_t(b[at]) << 8) | b[at + 1]; }

float BigEndianFloat(const std::vector<uint8_t>& b, size_t at) {
  const uint32_t bits = BigEndian32(b, at);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

struct ChunkSpan {
  std::string id;
  size_t data;  // offset of the chunk's data
  uint32_t size;
};

// Walks the FORM's children, checking each header against the FORM's end.
std::vector<ChunkSpan> WalkForm(const std::vector<uint8_t>& b) {
  std::vector<ChunkSpan> chunks;
  EXPECT_GE(b.size(), 12u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "FORM");
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "LWO2");
  EXPECT_EQ(BigEndian32(b, 4), b.size() - 8) << "FORM size must cover the rest of the file";
  EXPECT_EQ(b.size() % 2, 0u);
  size_t at = 12;
  while (at < b.size()) {
    EXPECT_LE(at + 8, b.size());
    if (at + 8 > b.size()) break;
    const uint32_t size = BigEndian32(b, at + 4);
    EXPECT_LE(at + 8 + size, b.size()) << "chunk at " << at;
    chunks.push_back({std::string(b.begin() + at, b.begin() + at + 4), at + 8, size});
    at += 8 + size + (size & 1);
  }
  EXPECT_EQ(at, b.size());
  return chunks;
}

// Walks sub-chunks (16-bit sizes) between begin and end.
std::vector<ChunkSpan> WalkSubChunks(const std::vector<uint8_t>& b, size_t begin, size_t end) {
  std::vector<ChunkSpan> subs;
  size_t at = begin;
  while (at < end) {
    EXPECT_LE(at + 6, end);
    if (at + 6 > end) break;
    const uint32_t size = BigEndian16(b, at + 4);
    EXPECT_LE(at + 6 + size, end);
    subs.push_back({std::string(b.begin() + at, b.begin() + at + 4), at + 6, size});
    at += 6 + size + (size & 1);
  }
  EXPECT_EQ(at, end);
  return subs;
}

// A padded string at `at`: returns its text and checks that it occupies an even length.
std::string PaddedString(const std::vector<uint8_t>& b, size_t at, size_t* next) {
  size_t end = at;
  while (b[end] != 0) ++end;
  const size_t stored = end - at + 1;
  *next = at + stored + (stored & 1);
  if (stored & 1) {
    EXPECT_EQ(b[end + 1], 0) << "pad byte of a string";
  }
  return std::string(b.begin() + at, b.begin() + end);
}

const ChunkSpan* Find(const std::vector<ChunkSpan>& chunks, const char* id, int nth = 0) {
  for (const ChunkSpan& c : chunks) {
    if (c.id == id && nth-- == 0) return &c;
  }
  return nullptr;
}

TEST(LwoWriter, ChunksFollowTheIffRules) {
  const std::vector<uint8_t> b = WriteLwo(geometry_test::TwoTriangleObject());
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  std::vector<std::string> ids;
  for (const ChunkSpan& c : chunks) {
    ids.push_back(c.id);
    EXPECT_EQ(c.size % 2, 0u) << c.id << " has an odd size";
  }
  const std::vector<std::string> expected = {"TAGS", "LAYR", "PNTS", "BBOX", "VMAP", "POLS", "PTAG", "CLIP", "SURF", "SURF"};
  EXPECT_EQ(ids, expected);
}

TEST(LwoWriter, PointsAreBigEndianFloats) {
  const std::vector<uint8_t> b = WriteLwo(geometry_test::TwoTriangleObject());
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  const ChunkSpan* pnts = Find(chunks, "PNTS");
  ASSERT_NE(pnts, nullptr);
  EXPECT_EQ(pnts->size, 4u * 12u);
  // Point 2 is (1, 2, 0): 1.0f is 3F 80 00 00, 2.0f is 40 00 00 00.
  const size_t p2 = pnts->data + 2 * 12;
  EXPECT_EQ(BigEndian32(b, p2), 0x3F800000u);
  EXPECT_EQ(BigEndian32(b, p2 + 4), 0x40000000u);
  EXPECT_EQ(BigEndian32(b, p2 + 8), 0u);
}

TEST(LwoWriter, TagsAndPolygonTagsName) {
  const std::vector<uint8_t> b = WriteLwo(geometry_test::TwoTriangleObject());
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  const ChunkSpan* tags = Find(chunks, "TAGS");
  ASSERT_NE(tags, nullptr);
  size_t at = tags->data;
  std::vector<std::string> names;
  while (at < tags->data + tags->size) names.push_back(PaddedString(b, at, &at));
  EXPECT_EQ(at, tags->data + tags->size);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "Red");  // "Red\0" is 4 bytes: no pad
  EXPECT_EQ(names[1], "Wall");  // "Wall\0" is 5 bytes: one pad byte

  const ChunkSpan* ptag = Find(chunks, "PTAG");
  ASSERT_NE(ptag, nullptr);
  EXPECT_EQ(std::string(b.begin() + ptag->data, b.begin() + ptag->data + 4), "SURF");
  ASSERT_EQ(ptag->size, 4u + 2 * 4u);
  EXPECT_EQ(BigEndian16(b, ptag->data + 4), 0u);   // polygon 0
  EXPECT_EQ(BigEndian16(b, ptag->data + 6), 0u);   // tag "Red"
  EXPECT_EQ(BigEndian16(b, ptag->data + 8), 1u);   // polygon 1
  EXPECT_EQ(BigEndian16(b, ptag->data + 10), 1u);  // tag "Wall"
}

TEST(LwoWriter, PolygonsCountTheirCorners) {
  LwoWriter writer = geometry_test::TwoTriangleObject();
  AddLwoPolygon(&writer.layers[0], {0, 1, 2, 3}, "Red");
  const std::vector<uint8_t> b = WriteLwo(writer);
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  const ChunkSpan* pols = Find(chunks, "POLS");
  ASSERT_NE(pols, nullptr);
  EXPECT_EQ(std::string(b.begin() + pols->data, b.begin() + pols->data + 4), "FACE");
  EXPECT_EQ(pols->size, 4u + 2 * (2u + 3 * 2u) + (2u + 4 * 2u));
  const size_t quad = pols->data + 4 + 2 * 8;
  EXPECT_EQ(BigEndian16(b, quad), 4u);
  EXPECT_EQ(BigEndian16(b, quad + 8), 3u);
}

TEST(LwoWriter, LargeIndicesTakeTheFourByteForm) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "big");
  for (int i = 0; i < 0xFF02; ++i) AddLwoPoint(layer, float(i), 0, 0);
  AddLwoPolygon(layer, {0, 0xFEFF, 0xFF01}, "");
  const std::vector<uint8_t> b = WriteLwo(writer);
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  const ChunkSpan* pols = Find(chunks, "POLS");
  ASSERT_NE(pols, nullptr);
  EXPECT_EQ(pols->size, 4u + 2 + 2 + 2 + 4);
  const size_t corners = pols->data + 6;
  EXPECT_EQ(BigEndian16(b, corners), 0u);
  EXPECT_EQ(BigEndian16(b, corners + 2), 0xFEFFu);
  EXPECT_EQ(BigEndian32(b, corners + 4), 0xFF00FF01u);
}

TEST(LwoWriter, UvMapsHoldTheirEntries) {
  LwoWriter writer = geometry_test::TwoTriangleObject();
  LwoWriterMap* lightmap = AddLwoUvMap(&writer.layers[0], "Lightmap");
  AddLwoUv(lightmap, 2, 0.5f, 0.75f);
  const std::vector<uint8_t> b = WriteLwo(writer);
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  const ChunkSpan* texture = Find(chunks, "VMAP", 0);
  const ChunkSpan* light = Find(chunks, "VMAP", 1);
  ASSERT_TRUE(texture && light);
  EXPECT_EQ(std::string(b.begin() + texture->data, b.begin() + texture->data + 4), "TXUV");
  EXPECT_EQ(BigEndian16(b, texture->data + 4), 2u);
  size_t entries;
  EXPECT_EQ(PaddedString(b, texture->data + 6, &entries), "Texture");
  EXPECT_EQ(texture->data + texture->size - entries, 4u * 10u);
  EXPECT_EQ(PaddedString(b, light->data + 6, &entries), "Lightmap");
  ASSERT_EQ(light->data + light->size - entries, 10u);
  EXPECT_EQ(BigEndian16(b, entries), 2u);
  EXPECT_EQ(BigEndianFloat(b, entries + 2), 0.5f);
  EXPECT_EQ(BigEndianFloat(b, entries + 6), 0.75f);
}

TEST(LwoWriter, CornerMapsNamePointAndPolygon) {
  LwoWriter writer = geometry_test::TwoTriangleObject();
  LwoWriterMap* seam = AddLwoCornerUvMap(&writer.layers[0], "Texture");
  AddLwoCornerUv(seam, 0, 1, 0.125f, 0.5f);
  const std::vector<uint8_t> b = WriteLwo(writer);
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  const ChunkSpan* vmad = Find(chunks, "VMAD");
  ASSERT_NE(vmad, nullptr);
  EXPECT_GT(vmad->data, Find(chunks, "POLS")->data) << "VMAD follows the polygons it names";
  size_t entry;
  EXPECT_EQ(PaddedString(b, vmad->data + 6, &entry), "Texture");
  ASSERT_EQ(vmad->data + vmad->size - entry, 12u);
  EXPECT_EQ(BigEndian16(b, entry), 0u);
  EXPECT_EQ(BigEndian16(b, entry + 2), 1u);
  EXPECT_EQ(BigEndianFloat(b, entry + 4), 0.125f);
}

TEST(LwoWriter, SurfacesAndClipsAreWellFormed) {
  const std::vector<uint8_t> b = WriteLwo(geometry_test::TwoTriangleObject());
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  const ChunkSpan* clip = Find(chunks, "CLIP");
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(BigEndian32(b, clip->data), 1u);
  const std::vector<ChunkSpan> clip_subs = WalkSubChunks(b, clip->data + 4, clip->data + clip->size);
  ASSERT_EQ(clip_subs.size(), 1u);
  EXPECT_EQ(clip_subs[0].id, "STIL");
  size_t next;
  EXPECT_EQ(PaddedString(b, clip_subs[0].data, &next), "Images/wall.png");
  EXPECT_EQ(next, clip_subs[0].data + clip_subs[0].size);

  const ChunkSpan* wall = Find(chunks, "SURF", 1);
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(PaddedString(b, wall->data, &next), "Wall");
  EXPECT_EQ(PaddedString(b, next, &next), "");
  const std::vector<ChunkSpan> subs = WalkSubChunks(b, next, wall->data + wall->size);
  const ChunkSpan* colr = Find(subs, "COLR");
  ASSERT_NE(colr, nullptr);
  EXPECT_EQ(colr->size, 14u);
  EXPECT_EQ(BigEndianFloat(b, colr->data), 0.2f);
  EXPECT_EQ(BigEndianFloat(b, colr->data + 8), 0.6f);
  const ChunkSpan* blok = Find(subs, "BLOK");
  ASSERT_NE(blok, nullptr);
  const std::vector<ChunkSpan> block = WalkSubChunks(b, blok->data, blok->data + blok->size);
  EXPECT_EQ(block.front().id, "IMAP") << "a block opens with its header";
  const ChunkSpan* imag = Find(block, "IMAG");
  const ChunkSpan* vmap = Find(block, "VMAP");
  ASSERT_TRUE(imag && vmap);
  EXPECT_EQ(BigEndian16(b, imag->data), 1u);
  EXPECT_EQ(PaddedString(b, vmap->data, &next), "Texture");

  const ChunkSpan* red = Find(chunks, "SURF", 0);
  PaddedString(b, red->data, &next);
  PaddedString(b, next, &next);
  EXPECT_EQ(Find(WalkSubChunks(b, next, red->data + red->size), "BLOK"), nullptr)
      << "an untextured surface has no block";
}

TEST(LwoWriter, AddedLayersAndMapsStayWhereTheyWere) {
  LwoWriter writer;
  LwoWriterLayer* first = AddLwoLayer(&writer, "one");
  LwoWriterMap* texture = AddLwoUvMap(first, "Texture");
  for (int i = 0; i < 40; ++i) {
    AddLwoLayer(&writer, "more");
    AddLwoUvMap(first, "more");
  }
  AddLwoPoint(first, 1, 2, 3);
  AddLwoUv(texture, 0, 0.5f, 0.5f);
  EXPECT_EQ(writer.layers[0].points.size(), 3u);
  EXPECT_EQ(writer.layers[0].uv_maps[0].vertices.size(), 1u);
}

TEST(LwoWriter, OddRawChunksArePadded) {
  LwoWriter writer = geometry_test::TwoTriangleObject();
  AddLwoRawChunk(&writer.leading_chunks, "DESC", {'a', 'b', 0});
  const std::vector<uint8_t> b = WriteLwo(writer);
  const std::vector<ChunkSpan> chunks = WalkForm(b);
  ASSERT_EQ(chunks[0].id, "DESC");
  EXPECT_EQ(chunks[0].size, 3u);
  EXPECT_EQ(b[chunks[0].data + 3], 0);
  EXPECT_EQ(chunks[1].id, "TAGS");
}

TEST(LwoWriter, SavesTheSameBytes) {
  char dir[] = "/tmp/kra_lwo_writer_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/two.lwo";
  const LwoWriter writer = geometry_test::TwoTriangleObject();
  ASSERT_EQ(SaveLwo(writer, path.c_str()), 1);
  EXPECT_EQ(geometry_test::ReadWholeFile(path), WriteLwo(writer));
  std::remove(path.c_str());
  rmdir(dir);
  EXPECT_EQ(SaveLwo(writer, "/nonexistent-dir/x.lwo"), 0);
}

}  // namespace
