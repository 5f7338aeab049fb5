// A source of sound for a mixer channel: decoded MP3, a rendered tracker module, or
// anything a test makes up.
//
// A source produces stereo frames (interleaved left, right floats, nominally -1..1) at its
// own sample rate; the channel resamples them to the output rate.
#pragma once

#include <memory>

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // The rate the source's frames were made for, in Hz.
  virtual int Rate() const = 0;
  // Fills up to frames stereo frames; returns how many it wrote. Fewer than asked (0 at the
  // latest) means the source has reached its end.
  virtual int Read(float* stereo, int frames) = 0;
  // Back to the first frame, for looping. false: the source cannot start again.
  virtual bool Rewind() = 0;
  // To the frame at seconds from the start, counted around the source's length for one
  // that loops. false: the source cannot seek (it stays where it was).
  virtual bool Seek(double seconds) { return seconds <= 0.0 && Rewind(); }
};

// Decodes an MP3 stream held in memory (the bytes must outlive the source). Null when the
// bytes are not an MP3 stream that decodes.
std::unique_ptr<AudioSource> OpenMp3Source(const void* data, size_t size);

// Renders a tracker module (MOD, S3M, XM, IT and the rest libopenmpt knows) held in memory at
// the given rate, repeating forever. Null when the bytes are not a module.
std::unique_ptr<AudioSource> OpenModuleSource(const void* data, size_t size, int rate);
