// MP3 streams decoded by libmpg123 straight from memory: the decoder reads through a small
// reader over the caller's bytes, so nothing is copied and no temporary file is made.
#include <mpg123.h>

#include <cmath>
#include <cstring>
#include <mutex>

#include "audio/audio_source.h"
#include "platform/log.h"

namespace {

// A stream is only taken for MP3 once this many frames have decoded back to back (or the
// whole stream, if shorter): libmpg123 resynchronises past junk and finds "frame headers" in
// many a non-MP3 file, and a layer III decoder turns any bits into noise without an error,
// but stray headers do not chain into a run of frames that each start where the last ended.
constexpr int kProbeFrames = 8;
// Bytes before the first audio frame beyond an ID3v2 tag: an encoder's info frame and slack.
// libmpg123 will skip far more junk than this to find a header.
constexpr size_t kLeadingBytes = 4096;

// The size of an ID3v2 tag at the start of the data, header and footer included; 0 if none.
size_t Id3v2Size(const unsigned char* data, size_t size) {
  if (size < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
  const size_t body = (size_t{data[6]} & 0x7f) << 21 | (size_t{data[7]} & 0x7f) << 14 |
                      (size_t{data[8]} & 0x7f) << 7 | (size_t{data[9]} & 0x7f);
  return 10 + body + ((data[5] & 0x10) ? 10 : 0);
}

struct MemoryReader {
  const unsigned char* data;
  size_t size;
  size_t pos;
};

mpg123_ssize_t ReadMemory(void* handle, void* buffer, size_t bytes) {
  auto* reader = static_cast<MemoryReader*>(handle);
  const size_t left = reader->size - reader->pos;
  if (bytes > left) bytes = left;
  std::memcpy(buffer, reader->data + reader->pos, bytes);
  reader->pos += bytes;
  return static_cast<mpg123_ssize_t>(bytes);
}

off_t SeekMemory(void* handle, off_t offset, int whence) {
  auto* reader = static_cast<MemoryReader*>(handle);
  off_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<off_t>(reader->pos);
  if (whence == SEEK_END) base = static_cast<off_t>(reader->size);
  const off_t target = base + offset;
  if (target < 0 || target > static_cast<off_t>(reader->size)) return -1;
  reader->pos = static_cast<size_t>(target);
  return target;
}

void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

class Mp3Source final : public AudioSource {
 public:
  ~Mp3Source() override {
    if (handle_) {
      mpg123_close(handle_);
      mpg123_delete(handle_);
    }
  }

  bool Open(const void* data, size_t size) {
    reader_ = {static_cast<const unsigned char*>(data), size, 0};
    int error = MPG123_OK;
    handle_ = mpg123_new(nullptr, &error);
    if (!handle_) return false;
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO | MPG123_GAPLESS, 0);
    // Every rate the decoder knows, always as stereo float: the mixer takes one format.
    mpg123_format_none(handle_);
    const long* rates = nullptr;
    size_t rate_count = 0;
    mpg123_rates(&rates, &rate_count);
    for (size_t i = 0; i < rate_count; ++i) mpg123_format(handle_, rates[i], MPG123_STEREO, MPG123_ENC_FLOAT_32);

    if (mpg123_replace_reader_handle(handle_, ReadMemory, SeekMemory, nullptr) != MPG123_OK) return false;
    if (mpg123_open_handle(handle_, &reader_) != MPG123_OK) return false;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) return false;
    if (rate < 8000 || rate > 48000 || channels != 2 || encoding != MPG123_ENC_FLOAT_32) return false;
    rate_ = static_cast<int>(rate);
    if (!DecodesCleanly()) return false;
    return Rewind();
  }

  int Rate() const override { return rate_; }

  int Read(float* stereo, int frames) override {
    auto* out = reinterpret_cast<unsigned char*>(stereo);
    const size_t wanted = static_cast<size_t>(frames) * kFrameBytes;
    size_t got = 0;
    while (got < wanted) {
      size_t done = 0;
      const int result = mpg123_read(handle_, out + got, wanted - got, &done);
      got += done;
      if (result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEW_FORMAT)) break;
      if (done == 0 && result == MPG123_OK) break;
    }
    return static_cast<int>(got / kFrameBytes);
  }

  bool Rewind() override { return mpg123_seek(handle_, 0, SEEK_SET) >= 0; }

  // Sample-exact: gapless decoding counts samples from the first one the encoder meant.
  bool Seek(double seconds) override {
    if (!(seconds >= 0.0)) return false;
    if (!scanned_) {
      mpg123_scan(handle_);
      scanned_ = true;
    }
    const off_t length = mpg123_length(handle_);
    off_t sample = static_cast<off_t>(std::llround(seconds * rate_));
    if (length > 0) sample %= length;
    return mpg123_seek(handle_, sample, SEEK_SET) >= 0;
  }

 private:
  static constexpr size_t kFrameBytes = 2 * sizeof(float);

  // The decoder decides: the first frames must decode back to back, each where the last
  // ended (resynchronising is off while probing, so junk between frames is an error), and
  // agree on layer, version and rate. Stray sync words in junk give a frame or two at most.
  // Free-format streams (no bitrate in the header) are music like any other.
  bool DecodesCleanly() {
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_NO_RESYNC, 0);
    const bool music = ProbeFrames();
    mpg123_param(handle_, MPG123_REMOVE_FLAGS, MPG123_NO_RESYNC, 0);
    return music;
  }

  bool ProbeFrames() {
    int frames = 0;
    mpg123_frameinfo first{};
    for (;;) {
      off_t number = 0;
      unsigned char* audio = nullptr;
      size_t bytes = 0;
      const int result = mpg123_decode_frame(handle_, &number, &audio, &bytes);
      if (result == MPG123_DONE) {
        // A stream shorter than the probe: it decoded to its end, and one lone "frame" is
        // what a stray sync word at the right distance from the end looks like.
        return frames >= 2;
      }
      if (result == MPG123_NEW_FORMAT) continue;
      if (result != MPG123_OK) {
        LogDebug("mp3: frame %d does not decode: %s", frames, mpg123_strerror(handle_));
        return false;
      }
      mpg123_frameinfo info{};
      if (mpg123_info(handle_, &info) != MPG123_OK) return false;
      if (frames == 0) {
        const off_t pos = mpg123_framepos(handle_);
        if (static_cast<size_t>(pos) > Id3v2Size(reader_.data, reader_.size) + kLeadingBytes) {
          LogDebug("mp3: first frame only at byte %lld", static_cast<long long>(pos));
          return false;
        }
        first = info;
      } else if (info.layer != first.layer || info.version != first.version || info.rate != first.rate) {
        LogDebug("mp3: frame %d is not of the stream's kind", frames);
        return false;
      }
      if (++frames >= kProbeFrames) return true;
    }
  }

  MemoryReader reader_{};
  mpg123_handle* handle_ = nullptr;
  int rate_ = 0;
  bool scanned_ = false;  // the whole stream was walked once, so its length is exact
};

}  // namespace

std::unique_ptr<AudioSource> OpenMp3Source(const void* data, size_t size) {
  if (!data || size == 0) return nullptr;
  InitLibrary();
  auto source = std::make_unique<Mp3Source>();
  if (!source->Open(data, size)) return nullptr;
  return source;
}
