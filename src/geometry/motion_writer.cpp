#include "geometry/motion_writer.h"

#include <cstdio>
#include <cstring>

#include "geometry/motion_file.h"

namespace {

void PutInt32(std::vector<uint8_t>* out, int32_t value) {
  uint32_t bits = (uint32_t)value;
  for (int i = 0; i < 4; i++) out->push_back((uint8_t)(bits >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>* out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  PutInt32(out, (int32_t)bits);
}

void PutFloats(std::vector<uint8_t>* out, const float values[3]) {
  for (int i = 0; i < 3; i++) PutFloat(out, values[i]);
}

}  // namespace

void AddMotionRecord(MotionWriter* writer, const MotionRecord& record) { writer->records.push_back(record); }

std::vector<uint8_t> MotionFileBytes(const MotionWriter& writer) {
  std::vector<uint8_t> out;
  out.reserve(MOTION_FILE_HEADER_SIZE + MOTION_FILE_RECORD_SIZE * writer.records.size());
  out.insert(out.end(), {'S', 'M', 'O', 'T', MOTION_FILE_VERSION, 0, 0, 0});
  PutInt32(&out, (int32_t)writer.records.size());
  PutInt32(&out, 0);
  for (const MotionRecord& record : writer.records) {
    PutInt32(&out, record.time);
    PutFloats(&out, record.position);
    PutFloats(&out, record.rotation);
    PutFloats(&out, record.scale);
    PutFloats(&out, record.tension);
    PutFloats(&out, record.continuity);
    PutFloats(&out, record.bias);
    out.insert(out.end(), 16, 0);
  }
  return out;
}

int SaveMotionFile(const MotionWriter& writer, const char* path) {
  std::vector<uint8_t> bytes = MotionFileBytes(writer);
  FILE* file = std::fopen(path, "wb");
  if (!file) return 0;
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  int closed = std::fclose(file);
  return written == bytes.size() && closed == 0;
}
