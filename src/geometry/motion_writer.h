// Writes motion files ("SMOT", version 2) that LoadMotionChunk reads: the content tool makes
// the demo's motions with it and tests round-trip through it.
#pragma once

#include <cstdint>
#include <vector>

// One key of a motion file: a time with a position, rotation and scale key, each with its
// own spline parameters (index 0 position, 1 rotation, 2 scale).
struct MotionRecord {
  int32_t time;
  float position[3];
  float rotation[3];
  float scale[3];
  float tension[3];
  float continuity[3];
  float bias[3];
};

struct MotionWriter {
  std::vector<MotionRecord> records;  // in file order; readers expect increasing times
};

void AddMotionRecord(MotionWriter* writer, const MotionRecord& record);

// The whole file: header and records. Unused bytes (header 5..7 and 12..15, the last 16 of
// every record) are written as zeros, so the same keys always give the same bytes.
std::vector<uint8_t> MotionFileBytes(const MotionWriter& writer);

// Writes the file; 1 on success, 0 when it cannot be written.
int SaveMotionFile(const MotionWriter& writer, const char* path);
