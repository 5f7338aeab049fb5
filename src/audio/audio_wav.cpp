#include "audio/audio_wav.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>* out, const char* tag) { out->insert(out->end(), tag, tag + 4); }

uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }

bool Fail(std::string* error, const std::string& path, const std::string& why) {
  if (error) *error = path + ": " + why;
  return false;
}

}  // namespace

bool WriteWavFile(const std::string& path, const int16_t* samples, int64_t frames, int channels, int rate,
                  std::string* error) {
  const uint64_t data_bytes = static_cast<uint64_t>(frames) * channels * 2;
  if (data_bytes > 0xffffffffull - 36) return Fail(error, path, "too much audio for a WAV file");
  std::vector<uint8_t> header;
  PutTag(&header, "RIFF");
  Put32(&header, static_cast<uint32_t>(36 + data_bytes));
  PutTag(&header, "WAVE");
  PutTag(&header, "fmt ");
  Put32(&header, 16);
  Put16(&header, 1);  // PCM
  Put16(&header, channels);
  Put32(&header, rate);
  Put32(&header, rate * channels * 2);
  Put16(&header, channels * 2);
  Put16(&header, 16);
  PutTag(&header, "data");
  Put32(&header, static_cast<uint32_t>(data_bytes));

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return Fail(error, path, std::string("cannot create: ") + std::strerror(errno));
  bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
  // Samples are stored little-endian, as the machine holds them on the targets we build for.
  if (ok && data_bytes) ok = std::fwrite(samples, 1, data_bytes, file) == data_bytes;
  ok = (std::fclose(file) == 0) && ok;
  return ok ? true : Fail(error, path, "write failed");
}

bool ReadWavFile(const std::string& path, WavData* wav, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, path, "cannot open");
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) || std::memcmp(bytes.data() + 8, "WAVE", 4)) {
    return Fail(error, path, "not a RIFF WAVE file");
  }
  bool have_format = false;
  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    const uint8_t* chunk = bytes.data() + pos;
    const uint64_t size = Get32(chunk + 4);
    if (size > bytes.size() - pos - 8) return Fail(error, path, "chunk at offset " + std::to_string(pos) + " runs past the end");
    if (!std::memcmp(chunk, "fmt ", 4)) {
      if (size < 16 || Get16(chunk + 8) != 1 || Get16(chunk + 22) != 16) {
        return Fail(error, path, "not 16-bit PCM");
      }
      wav->channels = static_cast<int>(Get16(chunk + 10));
      wav->rate = static_cast<int>(Get32(chunk + 12));
      have_format = wav->channels > 0;
    } else if (!std::memcmp(chunk, "data", 4)) {
      if (!have_format) return Fail(error, path, "data chunk before the format chunk");
      wav->samples.resize(size / 2);
      std::memcpy(wav->samples.data(), chunk + 8, wav->samples.size() * 2);
      return true;
    }
    pos += 8 + size + (size & 1);
  }
  return Fail(error, path, "no data chunk");
}
