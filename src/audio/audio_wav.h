// 16-bit PCM WAV files: what captures write and tests read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes interleaved 16-bit samples as a canonical 44-byte-header WAV. false with *error set
// (naming the file) when it cannot be written.
bool WriteWavFile(const std::string& path, const int16_t* samples, int64_t frames, int channels, int rate,
                  std::string* error);

struct WavData {
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> samples;  // interleaved
};

// Reads a 16-bit PCM WAV (any chunk order, unknown chunks skipped). false with *error set
// (naming the file and what is wrong) for anything else.
bool ReadWavFile(const std::string& path, WavData* wav, std::string* error);
