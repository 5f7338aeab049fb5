#include "resource/mem_chunk.h"

#include <cstring>
#include <string>

#include "platform/fatal.h"
#include "platform/printable_text.h"

void MemRead(MemChunk* chunk, void* dst, int32_t n, int32_t* got) {
  int32_t left = chunk->size - chunk->pos;
  int32_t count = 0;
  if (n > 0 && left > 0) count = n < left ? n : left;
  if (count > 0) std::memcpy(dst, chunk->data + chunk->pos, (size_t)count);
  chunk->pos += count;
  *got = count;
}

// 1-based number of the line that starts at byte offset pos: only needed for the error
// message, so it is counted from the start instead of being tracked on every read.
static int LineNumberAt(const MemChunk& chunk, int32_t pos) {
  int line = 1;
  for (int32_t i = 0; i < pos && i < chunk.size; ++i) {
    if (chunk.data[i] == '\n') ++line;
  }
  return line;
}

[[noreturn]] static void RaiseLineError(const MemChunk& chunk, int32_t line_start, const char* why) {
  std::string message = "ReadMemLine error!\n";
  message += PrintableText(chunk.name) + ", line " + std::to_string(LineNumberAt(chunk, line_start)) +
             ": " + why + "\n";
  RaiseFatal(message, "", 1);
}

void ReadMemLine(MemChunk* chunk, char* dst, int32_t max, int32_t* len) {
  int32_t line_start = chunk->pos;
  int32_t got = 0;
  MemRead(chunk, dst, max, &got);
  if (got == 0) RaiseLineError(*chunk, line_start, "no line left to read");

  const char* lf = static_cast<const char*>(std::memchr(dst, '\n', (size_t)got));
  int32_t line_bytes = 0;  // bytes before the LF, or the whole last line
  if (lf) {
    line_bytes = (int32_t)(lf - dst);
    chunk->pos = line_start + line_bytes + 1;
  } else {
    // Without an LF the read must have reached the end of the data (a last line without a
    // line end) and left room for the terminating NUL; anything else is a line too long.
    bool at_end = chunk->pos >= chunk->size;
    if (!at_end || got >= max) {
      std::string why = "line does not fit in the " + std::to_string(max) + "-byte line buffer";
      RaiseLineError(*chunk, line_start, why.c_str());
    }
    line_bytes = got;
  }
  int32_t text_end = line_bytes;
  if (text_end > 0 && dst[text_end - 1] == '\r') --text_end;
  dst[text_end] = '\0';
  *len = line_bytes;
}

void FreeChunk(MemChunk* chunk) {
  delete[] chunk->data;
  chunk->data = nullptr;
  chunk->size = 0;
  chunk->pos = 0;
}

void CopyNameField(char* dst, int capacity, const char* src) {
  if (capacity <= 0) return;
  size_t n = src ? std::strlen(src) : 0;
  if (n > (size_t)capacity - 1) n = (size_t)capacity - 1;
  if (n) std::memcpy(dst, src, n);
  dst[n] = '\0';
}
