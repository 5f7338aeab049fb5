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

// Copies up to n bytes from data + pos into dst, stores the count in *got and advances pos
// by it. Nothing is copied at or past the end of the data.
void MemRead(MemChunk* chunk, void* dst, int32_t n, int32_t* got);

// Reads one text line of at most max bytes (line end included) into dst, NUL-terminated
// and without its line end. Lines end in CR LF or in a bare LF; the last line of the data
// may have no line end. *len is the number of bytes of the line before its LF (a CR before
// the LF is counted, as the scene loader has always been given it); pos moves past the LF.
// A line that does not fit in max bytes, or a read with no data left, is a fatal data error
// ("ReadMemLine error!") that names the file and the line.
void ReadMemLine(MemChunk* chunk, char* dst, int32_t max, int32_t* len);

// Releases the chunk's bytes (new[]) and leaves it empty; the name is kept.
void FreeChunk(MemChunk* chunk);

// Stores src in a fixed-size name field of capacity bytes, cutting it to capacity - 1
// characters so the field always ends in NUL whatever length src has.
void CopyNameField(char* dst, int capacity, const char* src);
