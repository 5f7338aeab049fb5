// Motion files ("SMOT", version 2): a complete set of TCB spline keys for the position,
// rotation and scale of one object.
//
// Layout, little-endian throughout: a 16-byte header ("SMOT", version byte 2, three unused
// bytes, int32 key count, four unused bytes) and then one 92-byte record per key: int32 time;
// position, rotation, scale (3 floats each); tension, continuity and bias (3 floats each,
// element 0 for the position key, 1 for rotation, 2 for scale); 16 unused bytes.
#pragma once

#include <cstdint>
#include <string>

#include "resource/mem_chunk.h"

struct Motion;

constexpr int32_t MOTION_FILE_HEADER_SIZE = 16;
constexpr int32_t MOTION_FILE_RECORD_SIZE = 92;
constexpr uint8_t MOTION_FILE_VERSION = 2;

// Reads a motion file into a new Motion (position, rotation and scale keys, all TCB).
// On success stores it in *motion, frees the chunk's data and returns 1. On failure returns
// 0 with the reason in *error and leaves the chunk's data to the caller: a wrong magic, a
// version other than 2, or a file shorter than its key count needs.
int ReadMotionChunk(MemChunk* chunk, Motion** motion, std::string* error);
