// Bounds-checked big-endian reads inside one chunk of an LWO2 file.
//
// Every read checks that its bytes lie inside the chunk. The first one that does not
// records an error on the object (file, chunk, offset) and from then on every read returns
// 0 and moves nothing, so a chunk handler can read straight on and only test
// object->failed where it loops or stores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "geometry/lwo_object.h"

struct LwoCursor {
  LwoObject* object;
  char chunk[5];  // the chunk's ID, printable, for messages
  const uint8_t* pos;
  const uint8_t* end;
};

LwoCursor MakeLwoCursor(LwoObject* object, const uint8_t* id, const uint8_t* begin, const uint8_t* end);

// Records an error at the cursor's position (the first error wins).
void LwoFail(LwoCursor* cursor, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The same for a position that is not the cursor's.
void LwoFailAt(LwoObject* object, const char* chunk, const uint8_t* at, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Records that something was skipped at the cursor's position; reading goes on.
void LwoWarn(LwoCursor* cursor, const char* format, ...) __attribute__((format(printf, 2, 3)));

inline size_t LwoBytesLeft(const LwoCursor* cursor) { return static_cast<size_t>(cursor->end - cursor->pos); }
inline bool LwoAtEnd(const LwoCursor* cursor) { return cursor->object->failed || cursor->pos >= cursor->end; }

uint32_t LwoReadU1(LwoCursor* cursor);
uint32_t LwoReadU2(LwoCursor* cursor);
uint32_t LwoReadU4(LwoCursor* cursor);
float LwoReadF4(LwoCursor* cursor);
// A variable-length index: two bytes, or four when the first is 0xFF (the index is then
// the low 24 bits).
uint32_t LwoReadVx(LwoCursor* cursor);
// A NUL-terminated string padded to an even length. The NUL must lie inside the chunk; a
// missing pad byte at the very end of the chunk is accepted.
std::string LwoReadString(LwoCursor* cursor);
void LwoSkip(LwoCursor* cursor, size_t n);
bool LwoIdIs(const uint8_t* id, const char* name);
// Whether the cursor reads the chunk (or sub-chunk) of that ID.
inline bool LwoCursorIs(const LwoCursor* cursor, const char* name) { return LwoIdIs(reinterpret_cast<const uint8_t*>(cursor->chunk), name); }

// A sub-chunk of SURF or CLIP: 4-byte ID, 16-bit size, data, pad byte after an odd size.
// Returns false at the end of the parent or after an error; otherwise the cursor is moved
// past the sub-chunk and *sub covers its data.
bool LwoNextSubChunk(LwoCursor* parent, LwoCursor* sub);
