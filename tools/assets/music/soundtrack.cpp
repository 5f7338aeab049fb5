// The archive's "zibo.mp3".
#include "music/soundtrack.h"
#include "pack/content.h"

namespace assets {

ContentBytes MakeSoundtrack() {
  const music::StereoBuffer song = music::RenderSong(music::BuildScore());
  return music::EncodeMp3(song.samples, music::SAMPLE_RATE, music::MP3_BITRATE_KBPS);
}

}  // namespace assets
