#include "geometry/lwo_cursor.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

std::string Placed(LwoObject* object, const char* chunk, const uint8_t* at, const char* format, va_list args) {
  char what[256];
  std::vsnprintf(what, sizeof what, format, args);
  char line[512];
  std::snprintf(line, sizeof line, "%s: %s chunk at offset %ld: %s",
                object->file_name ? object->file_name : "(memory)", chunk,
                static_cast<long>(at - object->file_start), what);
  return line;
}

void RecordError(LwoObject* object, const char* chunk, const uint8_t* at, const char* format, va_list args) {
  if (object->failed) return;
  object->error = Placed(object, chunk, at, format, args);
  object->failed = 1;
}

// A file that repeats one fault thousands of times needs it said a few times only.
constexpr size_t MAX_LWO_WARNINGS = 32;

}  // namespace

LwoCursor MakeLwoCursor(LwoObject* object, const uint8_t* id, const uint8_t* begin, const uint8_t* end) {
  LwoCursor cursor;
  cursor.object = object;
  for (int i = 0; i < 4; ++i) {
    const uint8_t c = id[i];
    cursor.chunk[i] = (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  cursor.chunk[4] = '\0';
  cursor.pos = begin;
  cursor.end = end;
  return cursor;
}

void LwoFail(LwoCursor* cursor, const char* format, ...) {
  va_list args;
  va_start(args, format);
  RecordError(cursor->object, cursor->chunk, cursor->pos, format, args);
  va_end(args);
}

void LwoWarn(LwoCursor* cursor, const char* format, ...) {
  LwoObject* object = cursor->object;
  if (object->warnings.size() >= MAX_LWO_WARNINGS) return;
  va_list args;
  va_start(args, format);
  object->warnings.push_back(Placed(object, cursor->chunk, cursor->pos, format, args));
  va_end(args);
}

void LwoFailAt(LwoObject* object, const char* chunk, const uint8_t* at, const char* format, ...) {
  va_list args;
  va_start(args, format);
  RecordError(object, chunk, at, format, args);
  va_end(args);
}

static bool Take(LwoCursor* cursor, size_t n, const char* what) {
  if (cursor->object->failed) return false;
  if (LwoBytesLeft(cursor) < n) {
    LwoFail(cursor, "%s needs %zu bytes, only %zu left in the chunk", what, n, LwoBytesLeft(cursor));
    return false;
  }
  return true;
}

uint32_t LwoReadU1(LwoCursor* cursor) {
  if (!Take(cursor, 1, "a byte")) return 0;
  return *cursor->pos++;
}

uint32_t LwoReadU2(LwoCursor* cursor) {
  if (!Take(cursor, 2, "a 16-bit number")) return 0;
  const uint8_t* p = cursor->pos;
  cursor->pos += 2;
  return (static_cast<uint32_t>(p[0]) << 8) | p[1];
}

uint32_t LwoReadU4(LwoCursor* cursor) {
  if (!Take(cursor, 4, "a 32-bit number")) return 0;
  const uint8_t* p = cursor->pos;
  cursor->pos += 4;
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

float LwoReadF4(LwoCursor* cursor) {
  if (!Take(cursor, 4, "a float")) return 0.0f;
  const uint32_t bits = LwoReadU4(cursor);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint32_t LwoReadVx(LwoCursor* cursor) {
  if (!Take(cursor, 2, "an index")) return 0;
  if (cursor->pos[0] != 0xFF) return LwoReadU2(cursor);
  if (!Take(cursor, 4, "a 4-byte index")) return 0;
  return LwoReadU4(cursor) & 0x00FFFFFF;
}

std::string LwoReadString(LwoCursor* cursor) {
  if (cursor->object->failed) return std::string();
  const void* nul = std::memchr(cursor->pos, 0, LwoBytesLeft(cursor));
  if (!nul) {
    LwoFail(cursor, "string without a terminating NUL inside the chunk");
    return std::string();
  }
  const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - cursor->pos);
  std::string text(reinterpret_cast<const char*>(cursor->pos), length);
  size_t stored = length + 1;
  if (stored & 1) stored += 1;
  if (stored > LwoBytesLeft(cursor)) stored = LwoBytesLeft(cursor);
  cursor->pos += stored;
  return text;
}

void LwoSkip(LwoCursor* cursor, size_t n) {
  if (Take(cursor, n, "the rest of a field")) cursor->pos += n;
}

bool LwoIdIs(const uint8_t* id, const char* name) { return std::memcmp(id, name, 4) == 0; }

bool LwoNextSubChunk(LwoCursor* parent, LwoCursor* sub) {
  if (LwoAtEnd(parent)) return false;
  const uint8_t* header = parent->pos;
  if (LwoBytesLeft(parent) < 6) {
    // Too few to be anything: a writer's stray padding, not worth losing the chunk over.
    LwoWarn(parent, "%zu stray bytes at the end, shorter than a sub-chunk header: ignored", LwoBytesLeft(parent));
    parent->pos = parent->end;
    return false;
  }
  parent->pos += 4;
  const uint32_t size = LwoReadU2(parent);
  *sub = MakeLwoCursor(parent->object, header, parent->pos, parent->pos);
  if (size > LwoBytesLeft(parent)) {
    LwoFailAt(parent->object, sub->chunk, header, "sub-chunk of %s: size %u runs past its parent (%zu bytes left)",
              parent->chunk, size, LwoBytesLeft(parent));
    return false;
  }
  sub->end = parent->pos + size;
  parent->pos += size;
  if ((size & 1) && parent->pos < parent->end) parent->pos += 1;
  return true;
}
