// Motion files: the writer's layout, round trips through the reader, and damaged files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "geometry/motion.h"
#include "geometry/motion_file.h"
#include "geometry/motion_writer.h"
#include "scene/object_motion.h"
#include "scene/scene_object.h"

namespace {

MemChunk ChunkOf(const std::vector<uint8_t>& bytes, const char* name = "test.mot") {
  MemChunk chunk{};
  CopyNameField(chunk.name, sizeof(chunk.name), name);
  chunk.size = (int32_t)bytes.size();
  if (!bytes.empty()) {
    chunk.data = new uint8_t[bytes.size()];
    std::memcpy(chunk.data, bytes.data(), bytes.size());
  }
  return chunk;
}

MotionRecord Record(int32_t time, float base) {
  MotionRecord r{};
  r.time = time;
  for (int i = 0; i < 3; i++) {
    r.position[i] = base + i;
    r.rotation[i] = base + 10 + i;
    r.scale[i] = base + 20 + i;
    r.tension[i] = 0.1f * (i + 1);
    r.continuity[i] = -0.2f * (i + 1);
    r.bias[i] = 0.05f * (i + 1);
  }
  return r;
}

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t offset) {
  return (int32_t)(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                   (uint32_t)bytes[offset + 3] << 24);
}

float FloatAt(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t bits = (uint32_t)Int32At(bytes, offset);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

struct ObjectWithMotion {
  SceneObject object{};
  ~ObjectWithMotion() { FreeMotion(object.motion); }
};

TEST(MotionWriter, LayoutOfHeaderAndRecords) {
  MotionWriter writer;
  AddMotionRecord(&writer, Record(0, 1));
  AddMotionRecord(&writer, Record(30, 100));
  std::vector<uint8_t> bytes = MotionFileBytes(writer);
  ASSERT_EQ(bytes.size(), 16u + 92u * 2);
  EXPECT_EQ(std::memcmp(bytes.data(), "SMOT", 4), 0);
  EXPECT_EQ(bytes[4], 2);
  EXPECT_EQ(Int32At(bytes, 8), 2);
  size_t second = 16 + 92;
  EXPECT_EQ(Int32At(bytes, second), 30);
  EXPECT_EQ(FloatAt(bytes, second + 4), 100.0f);       // position x
  EXPECT_EQ(FloatAt(bytes, second + 16 + 8), 112.0f);  // rotation z
  EXPECT_EQ(FloatAt(bytes, second + 28), 120.0f);      // scale x
  EXPECT_EQ(FloatAt(bytes, second + 44), 0.2f);        // tension of the rotation key
  EXPECT_EQ(FloatAt(bytes, second + 60), -0.6f);       // continuity of the scale key
  EXPECT_EQ(FloatAt(bytes, second + 64), 0.05f);       // bias of the position key
  for (size_t i = second + 76; i < second + 92; i++) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(MotionFile, TwoKeysGiveThreeTcbChannels) {
  MotionWriter writer;
  AddMotionRecord(&writer, Record(0, 1));
  AddMotionRecord(&writer, Record(30, 100));
  ObjectWithMotion o;
  ASSERT_EQ(LoadMotionChunk(&o.object, ChunkOf(MotionFileBytes(writer))), 1);
  Motion* m = o.object.motion;
  ASSERT_NE(m, nullptr);
  const Curve* channels[3] = {&m->position, &m->rotation, &m->scale};
  for (int k = 0; k < 3; k++) {
    ASSERT_EQ(channels[k]->key_count, 2);
    const CurveKey* first = channels[k]->keys;
    const CurveKey* second = first->next;
    EXPECT_EQ(first->interpolation, CURVE_TCB);
    EXPECT_EQ(second->interpolation, CURVE_TCB);
    EXPECT_EQ(first->time, 0);
    EXPECT_EQ(second->time, 30);
    EXPECT_EQ(second->value[1], 100.0f + 10 * k + 1);
    EXPECT_EQ(first->tension, 0.1f * (k + 1));
    EXPECT_EQ(first->continuity, -0.2f * (k + 1));
    EXPECT_EQ(second->bias, 0.05f * (k + 1));
    EXPECT_EQ(second->prev, first);
  }
  EXPECT_EQ(m->alpha.key_count, 0);
  EXPECT_EQ(m->fov.key_count, 0);
  EvaluateMotion(&o.object, 40);
  EXPECT_EQ(o.object.alpha[0], 1.0f);
  EXPECT_EQ(o.object.fov[0], 34.7f);
  EXPECT_EQ(o.object.position[0], 100.0f);  // held after the last key
}

TEST(MotionFile, ZeroKeysGiveAnEmptyMotion) {
  ObjectWithMotion o;
  o.object.motion = NewMotion();
  AddMotionKey(o.object.motion, MOTION_POSITION);
  MotionWriter writer;
  ASSERT_EQ(LoadMotionChunk(&o.object, ChunkOf(MotionFileBytes(writer))), 1);
  ASSERT_NE(o.object.motion, nullptr);
  EXPECT_EQ(o.object.motion->position.key_count, 0);  // replaced, not extended
}

TEST(MotionFile, NegativeKeyCountIsAnEmptyMotion) {
  std::vector<uint8_t> bytes = MotionFileBytes(MotionWriter{});
  bytes[8] = bytes[9] = bytes[10] = bytes[11] = 0xff;
  ObjectWithMotion o;
  ASSERT_EQ(LoadMotionChunk(&o.object, ChunkOf(bytes)), 1);
  EXPECT_EQ(o.object.motion->scale.key_count, 0);
}

TEST(MotionFile, BadMagicKeepsThePreviousMotion) {
  MotionWriter writer;
  AddMotionRecord(&writer, Record(0, 1));
  std::vector<uint8_t> bytes = MotionFileBytes(writer);
  bytes[0] = 'X';
  MemChunk chunk = ChunkOf(bytes);
  std::string error;
  Motion* motion = nullptr;
  EXPECT_EQ(ReadMotionChunk(&chunk, &motion, &error), 0);
  EXPECT_EQ(error, "Error Reading Motion memchunk (size 108)");
  EXPECT_NE(chunk.data, nullptr);  // left to the caller
  FreeChunk(&chunk);

  ObjectWithMotion o;
  Motion* before = o.object.motion = NewMotion();
  testing::internal::CaptureStderr();
  MemChunk again = ChunkOf(bytes);
  EXPECT_EQ(LoadMotionChunk(&o.object, again), 0);
  std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("ERROR: test.mot: Error Reading Motion memchunk (size 108)"), std::string::npos) << shown;
  EXPECT_EQ(o.object.motion, before);
  delete[] again.data;
}

TEST(MotionFile, WrongVersion) {
  std::vector<uint8_t> bytes = MotionFileBytes(MotionWriter{});
  bytes[4] = 1;
  MemChunk chunk = ChunkOf(bytes);
  std::string error;
  Motion* motion = nullptr;
  EXPECT_EQ(ReadMotionChunk(&chunk, &motion, &error), 0);
  EXPECT_EQ(error, "Invalid version in Motion memchunk (size 16) should be 2");
  EXPECT_EQ(motion, nullptr);
  FreeChunk(&chunk);
}

TEST(MotionFile, EmptyAndShortHeaders) {
  for (size_t size : {0u, 3u, 15u}) {
    std::vector<uint8_t> bytes = MotionFileBytes(MotionWriter{});
    bytes.resize(size);
    MemChunk chunk = ChunkOf(bytes);
    std::string error;
    Motion* motion = nullptr;
    EXPECT_EQ(ReadMotionChunk(&chunk, &motion, &error), 0);
    EXPECT_EQ(error, "Error Reading Motion memchunk (size " + std::to_string(size) + ")");
    FreeChunk(&chunk);
  }
}

TEST(MotionFile, TruncatedFileIsRefusedNamingFileAndRecords) {
  MotionWriter writer;
  for (int i = 0; i < 3; i++) AddMotionRecord(&writer, Record(10 * i, (float)i));
  std::vector<uint8_t> full = MotionFileBytes(writer);
  for (size_t cut = 16; cut < full.size(); cut += 23) {
    std::vector<uint8_t> bytes(full.begin(), full.begin() + cut);
    MemChunk chunk = ChunkOf(bytes, "fish.mot");
    std::string error;
    Motion* motion = nullptr;
    EXPECT_EQ(ReadMotionChunk(&chunk, &motion, &error), 0) << cut;
    EXPECT_NE(error.find("fish.mot"), std::string::npos) << error;
    std::string holds = std::to_string((cut - 16) / 92) + " complete records";
    EXPECT_NE(error.find(holds), std::string::npos) << error;
    EXPECT_NE(error.find("3 keys"), std::string::npos) << error;
    FreeChunk(&chunk);
  }
}

TEST(MotionFile, TrailingBytesAreIgnored) {
  MotionWriter writer;
  AddMotionRecord(&writer, Record(5, 1));
  std::vector<uint8_t> bytes = MotionFileBytes(writer);
  bytes.resize(bytes.size() + 50, 0xAB);
  ObjectWithMotion o;
  ASSERT_EQ(LoadMotionChunk(&o.object, ChunkOf(bytes)), 1);
  EXPECT_EQ(o.object.motion->position.key_count, 1);
  EXPECT_EQ(o.object.motion->position.keys->time, 5);
}

TEST(MotionFile, SavedFileLoadsBack) {
  char dir[] = "/tmp/kra_motion_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string path = std::string(dir) + "/walk.mot";
  MotionWriter writer;
  AddMotionRecord(&writer, Record(0, 0));
  AddMotionRecord(&writer, Record(20, 40));
  ASSERT_EQ(SaveMotionFile(writer, path.c_str()), 1);
  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::vector<uint8_t> bytes(1000);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  EXPECT_EQ(bytes, MotionFileBytes(writer));
  std::remove(path.c_str());
  rmdir(dir);
  EXPECT_EQ(SaveMotionFile(writer, "/nonexistent-dir/x.mot"), 0);
}

}  // namespace
