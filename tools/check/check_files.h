// Checks of single data files by their content: PNG images, LWO2 objects, SMOT motions,
// XML scene scripts, and music (an MP3 stream or a tracker module).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check_report.h"
#include "resource/mem_chunk.h"

struct Motion;

enum class DataKind { IMAGE, OBJECT, MOTION, SCRIPT, ZIP, OTHER };

// What the first bytes say the data is. OTHER covers music, which only its decoders can
// recognise, and everything else.
DataKind KindOfData(const uint8_t* data, int32_t size);

// What a demo part needs of an image: at least this size (0: any).
struct ImageNeeds {
  int32_t min_width;
  int32_t min_height;
  const char* why;  // said when the image is smaller
};

// Each check consumes the chunk (its data is freed), names the file as `file` in what it
// reports, and returns true when it found no problem.
bool CheckImage(CheckReport* report, const std::string& file, MemChunk chunk, const ImageNeeds* needs);
bool CheckObject(CheckReport* report, const std::string& file, MemChunk chunk);
bool CheckMotion(CheckReport* report, const std::string& file, MemChunk chunk);
bool CheckMusic(CheckReport* report, const std::string& file, MemChunk chunk);
