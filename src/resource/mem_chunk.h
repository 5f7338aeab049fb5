// A named data file read whole into memory.
//
// A MemChunk is passed and returned by value: every holder has its own name, size and read
// position, while the bytes it points to are shared. size 0 means "not found"; there is no
// other status. data is allocated with new[] and whoever consumes the chunk frees it with
// delete[] (FreeChunk).
#pragma once

#include <cstdint>

struct MemChunk {
  char name[32];   // the requested name, without any "data/" prefix; truncated to 31 chars
  uint8_t* data;   // the whole file, or null when it was not found
  int32_t size;    // bytes in data; 0 when not found
  int32_t pos;     // read position of MemRead and ReadMemLine
};
