// kra-capture: runs the demo body on the headless display and virtual time, so every frame
// lasts exactly 1/fps seconds whatever the machine, and keeps what it shows.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "capture_audio.h"
#include "capture_options.h"
#include "demo/demo_state.h"
#include "demo/entry.h"
#include "demo/timeline.h"
#include "frame_writer.h"
#include "kra_version.h"
#include "platform/counter.h"
#include "platform/file_path.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "platform/process.h"

namespace {

struct Capture {
  CaptureOptions options;
  VideoPipe video;
  int64_t presented = 0;
  int64_t kept = 0;
  int64_t expected = 0;
  std::string error;
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_shown = started;
};

bool InWindow(const CaptureOptions& options, double t) {
  return t >= options.from_seconds && t <= options.to_seconds;
}

// At most four lines a second: a capture of black frames runs far faster than a terminal.
void ShowProgress(Capture& capture, bool last) {
  if (capture.options.quiet) return;
  const auto now = std::chrono::steady_clock::now();
  if (!last && now - capture.last_shown < std::chrono::milliseconds(250)) return;
  capture.last_shown = now;
  const double seconds = std::chrono::duration<double>(now - capture.started).count();
  const double percent = 100.0 * static_cast<double>(capture.presented) / static_cast<double>(capture.expected);
  std::fprintf(stderr, "\rkra-capture: frame %lld of %lld (%3.0f%%), %.1f frames per second   %s",
               static_cast<long long>(capture.presented), static_cast<long long>(capture.expected),
               percent > 100.0 ? 100.0 : percent, seconds > 0 ? capture.presented / seconds : 0.0,
               last ? "\n" : "");
}

void KeepFrame(Capture& capture, const HeadlessFrame& frame) {
  const CaptureOptions& options = capture.options;
  if (!options.frames_dir.empty()) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(capture.kept));
    const std::string path = Utf8FromPath(PathFromUtf8(options.frames_dir) / name);
    if (!WriteFramePng(path, frame.bytes, frame.width, frame.height, frame.pitch, &capture.error)) {
      EndProcess(1);
    }
  }
  if (!options.video_path.empty() && !capture.video.Write(frame.bytes, frame.width, frame.height, frame.pitch)) {
    capture.error = "ffmpeg stopped taking frames";
    EndProcess(1);
  }
  ++capture.kept;
}

// The picture-only video that the sound is muxed into: removed however main returns.
struct TemporaryFile {
  std::string path;
  ~TemporaryFile() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove(PathFromUtf8(path), ignored);
  }
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "kra-capture: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  auto parsed = ParseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!parsed) {
    std::fprintf(stderr, "kra-capture: %s\n%s", error.c_str(), kCaptureUsage);
    return 2;
  }
  if (parsed->help) {
    std::fputs(kCaptureUsage, stdout);
    return 0;
  }
  if (parsed->version) {
    std::printf("kra-capture %s\n", KRA_VERSION);
    return 0;
  }

  Capture capture;
  capture.options = *parsed;
  const double last = std::min<double>(kDemoEnds, capture.options.to_seconds);
  capture.expected = std::max<int64_t>(1, static_cast<int64_t>(std::ceil((last - capture.options.from_seconds) * capture.options.fps)));
  if (!capture.options.frames_dir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(capture.options.frames_dir), ec);
    if (ec) return Fail("cannot create " + capture.options.frames_dir + ": " + ec.message());
  }

  // 32 bits only, so every frame arrives as B, G, R, A bytes.
  HeadlessDisplayConfig config;
  config.accepted_bits = {32};
  HeadlessDisplay display(config);
  VirtualCounter counter(capture.options.fps);
  g_platform.display = &display;
  g_platform.counter = &counter;
  CaptureAudio audio(capture.options.fps);
  g_platform.audio = audio.Device();

  // The picture goes to a silent video first; the sound is added once the demo has ended.
  const std::string& video_path = capture.options.video_path;
  TemporaryFile silent_video;
  if (!video_path.empty()) silent_video.path = video_path + ".silent.mp4";
  if (!video_path.empty() &&
      !capture.video.Open(silent_video.path, WIDTH, DISPLAY_HEIGHT, capture.options.fps, &error)) {
    return Fail(error);
  }

  display.SetFrameSink([&capture, &audio](const HeadlessFrame& frame) {
    ++capture.presented;
    const bool kept = InWindow(capture.options, g_demo.clock.seconds);
    if (kept) KeepFrame(capture, frame);
    audio.FramePresented(capture.presented, kept);
    ShowProgress(capture, false);
    // Past --to nothing more is kept: the run ends here rather than drawing to the end.
    if (g_demo.clock.seconds > capture.options.to_seconds) EndProcess(0);
  });

  // Frames before --from are not drawn at all: the demo seeks there on the capture's own
  // frame step, so what follows is exactly what a run from the start shows.
  DemoOptions demo;
  demo.from_seconds = static_cast<float>(capture.options.from_seconds);
  demo.seek_fps = capture.options.fps;
  demo.player = false;
  const int status = RunDemo(demo);
  ShowProgress(capture, true);
  g_platform.audio = nullptr;

  if (!capture.video.Close(&error)) return Fail(error);
  if (!capture.error.empty()) return Fail(capture.error);
  const std::vector<int16_t> sound = audio.KeptSamples();
  if (!capture.options.audio_path.empty() && !WriteCaptureWav(capture.options.audio_path, sound, audio.Rate(), &error)) {
    return Fail(error);
  }
  if (!video_path.empty()) {
    const std::string wav = capture.options.audio_path.empty() ? video_path + ".wav" : capture.options.audio_path;
    if (capture.options.audio_path.empty() && !WriteCaptureWav(wav, sound, audio.Rate(), &error)) return Fail(error);
    const bool muxed = MuxAudio(silent_video.path, wav, video_path, &error);
    if (capture.options.audio_path.empty()) std::filesystem::remove(PathFromUtf8(wav));
    if (!muxed) return Fail(error);
  }
  if (!capture.options.quiet) {
    std::fprintf(stderr, "kra-capture: kept %lld of %lld frames\n", static_cast<long long>(capture.kept),
                 static_cast<long long>(capture.presented));
  }
  return status;
}
