#include "geometry/motion_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "geometry/motion.h"

namespace {

int32_t Int32At(const uint8_t* p) {
  return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

float FloatAt(const uint8_t* p) {
  uint32_t bits = (uint32_t)Int32At(p);
  float value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  return text;
}

// One record's fields go to three keys: element 0 of each spline triple to the position
// key, 1 to rotation, 2 to scale.
void ReadRecord(const uint8_t* record, Motion* motion) {
  CurveKey* keys[3] = {AddMotionKey(motion, MOTION_POSITION), AddMotionKey(motion, MOTION_ROTATION),
                       AddMotionKey(motion, MOTION_SCALE)};
  int32_t time = Int32At(record);
  for (int k = 0; k < 3; k++) {
    CurveKey* key = keys[k];
    key->interpolation = CURVE_TCB;
    key->time = time;
    for (int c = 0; c < 3; c++) key->value[c] = FloatAt(record + 4 + 12 * k + 4 * c);
    key->tension = FloatAt(record + 40 + 4 * k);
    key->continuity = FloatAt(record + 52 + 4 * k);
    key->bias = FloatAt(record + 64 + 4 * k);
  }
}

}  // namespace

int ReadMotionChunk(MemChunk* chunk, Motion** motion, std::string* error) {
  uint8_t header[MOTION_FILE_HEADER_SIZE] = {};
  int32_t got = 0;
  MemRead(chunk, header, MOTION_FILE_HEADER_SIZE, &got);
  if (got < MOTION_FILE_HEADER_SIZE || std::memcmp(header, "SMOT", 4) != 0) {
    *error = Format("Error Reading Motion memchunk (size %i)", chunk->size);
    return 0;
  }
  if (header[4] != MOTION_FILE_VERSION) {
    *error = Format("Invalid version in Motion memchunk (size %i) should be 2", chunk->size);
    return 0;
  }
  int32_t key_count = Int32At(header + 8);
  // A file shorter than its key count is refused whole rather than read into undefined keys.
  int64_t complete = (int64_t)(chunk->size - chunk->pos) / MOTION_FILE_RECORD_SIZE;
  if (key_count > complete) {
    *error = Format("Motion file %s is truncated: its header gives %d keys but it holds %lld complete "
                    "records (size %i)",
                    chunk->name, key_count, (long long)complete, chunk->size);
    return 0;
  }

  Motion* result = NewMotion();
  uint8_t record[MOTION_FILE_RECORD_SIZE];
  for (int32_t i = 0; i < key_count; i++) {
    MemRead(chunk, record, MOTION_FILE_RECORD_SIZE, &got);
    ReadRecord(record, result);
  }
  *motion = result;
  FreeChunk(chunk);
  return 1;
}
