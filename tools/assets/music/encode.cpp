// libmp3lame, fed from memory and writing to memory.
#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "music/soundtrack.h"

namespace assets::music {

std::vector<uint8_t> EncodeMp3(const std::vector<float>& stereo, int rate, int kbps) {
  lame_global_flags* lame = lame_init();
  if (!lame) throw std::runtime_error("zibo.mp3: libmp3lame would not start");
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, 2);
  lame_set_mode(lame, JOINT_STEREO);
  lame_set_brate(lame, kbps);
  lame_set_VBR(lame, vbr_off);
  lame_set_quality(lame, 2);
  // Nothing that could differ from run to run: no ID3 tags. The info frame carries only
  // what follows from the samples and the settings.
  lame_set_write_id3tag_automatic(lame, 0);
  lame_set_bWriteVbrTag(lame, 1);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    throw std::runtime_error("zibo.mp3: libmp3lame refused the settings");
  }

  const int frames = static_cast<int>(stereo.size() / 2);
  std::vector<uint8_t> out;
  std::vector<uint8_t> chunk;
  constexpr int kChunkFrames = 1152 * 16;
  std::vector<float> left(kChunkFrames), right(kChunkFrames);
  for (int at = 0; at < frames; at += kChunkFrames) {
    const int n = std::min(kChunkFrames, frames - at);
    for (int i = 0; i < n; ++i) {
      left[i] = stereo[2 * (at + i)];
      right[i] = stereo[2 * (at + i) + 1];
    }
    chunk.resize(static_cast<size_t>(1.25 * n + 7200));
    const int written = lame_encode_buffer_ieee_float(lame, left.data(), right.data(), n, chunk.data(),
                                                      static_cast<int>(chunk.size()));
    if (written < 0) {
      lame_close(lame);
      throw std::runtime_error("zibo.mp3: libmp3lame failed to encode");
    }
    out.insert(out.end(), chunk.begin(), chunk.begin() + written);
  }
  chunk.resize(7200);
  const int flushed = lame_encode_flush(lame, chunk.data(), static_cast<int>(chunk.size()));
  if (flushed > 0) out.insert(out.end(), chunk.begin(), chunk.begin() + flushed);

  // The info frame at the start was a placeholder until the stream's length was known.
  std::vector<uint8_t> tag(2880);
  const size_t tag_size = lame_get_lametag_frame(lame, tag.data(), tag.size());
  if (tag_size > 0 && tag_size <= out.size()) std::memcpy(out.data(), tag.data(), tag_size);
  lame_close(lame);
  return out;
}

}  // namespace assets::music
