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
#include "capture_window.h"
#include "demo/demo_state.h"
#include "demo/entry.h"
#include "demo/timeline.h"
#include "frame_scale.h"
#include "frame_writer.h"
#include "kra_version.h"
#include "platform/counter.h"
#include "platform/file_path.h"
#include "platform/headless_display.h"
#include "platform/printable_text.h"
#include "platform/process.h"

namespace {

struct Capture {
  CaptureOptions options;
  CaptureWindow window;
  VideoPipe video;
  FrameScale scale;             // with --size
  std::vector<uint8_t> scaled;  // the frame at --size, BGRA
  int64_t presented = 0;
  int64_t kept = 0;
  int64_t expected = 0;
  int64_t progress_shown = -1;  // the kept count the last progress line said
  std::string error;
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_shown = started;
};

// At most four lines a second: a capture of black frames runs far faster than a terminal.
// The last one ends the line, and is not said again when the one before said it already; a
// run that drew nothing (its data did not load) says nothing of frames.
void ShowProgress(Capture& capture, bool last) {
  if (capture.options.quiet || capture.presented == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (!last && now - capture.last_shown < std::chrono::milliseconds(250)) return;
  if (last && capture.progress_shown == capture.kept) {
    std::fputc('\n', stderr);
    return;
  }
  capture.last_shown = now;
  capture.progress_shown = capture.kept;
  const double seconds = std::chrono::duration<double>(now - capture.started).count();
  const double percent = 100.0 * static_cast<double>(capture.kept) / static_cast<double>(capture.expected);
  std::fprintf(stderr, "\rkra-capture: frame %lld of %lld (%3.0f%%), %.1f frames per second   %s",
               static_cast<long long>(capture.kept), static_cast<long long>(capture.expected), percent,
               seconds > 0 ? capture.presented / seconds : 0.0, last ? "\n" : "");
}

// The frame as kept: the display's own, or scaled to --size.
HeadlessFrame SizedFrame(Capture& capture, const HeadlessFrame& frame) {
  if (capture.options.width == 0) return frame;
  ScaleFrame(&capture.scale, frame.bytes, frame.pitch, capture.scaled.data());
  HeadlessFrame sized = frame;
  sized.bytes = capture.scaled.data();
  sized.width = capture.options.width;
  sized.height = capture.options.height;
  sized.pitch = capture.options.width * 4;
  return sized;
}

void KeepFrame(Capture& capture, const HeadlessFrame& shown) {
  const CaptureOptions& options = capture.options;
  const HeadlessFrame frame = SizedFrame(capture, shown);
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

int Fail(const std::string& message, int status = 1) {
  std::fprintf(stderr, "kra-capture: %s\n", message.c_str());
  return status;
}

std::string NoFrameInWindow(const CaptureOptions& options) {
  char text[200];
  std::snprintf(text, sizeof text, "no frame falls from %g to %g s: at %d frames a second they fall every %g s,"
                " from %g s to %g s",
                options.from_seconds, options.to_seconds, options.fps, 1.0 / options.fps, 1.0 / options.fps,
                static_cast<double>(kDemoEnds));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  auto parsed = ParseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!parsed) {
    std::fprintf(stderr, "kra-capture: %s\n%s", PrintableText(error).c_str(), kCaptureUsage);
    return 2;
  }
  if (parsed->help) {
    std::fputs(kCaptureUsage, stdout);
    return 0;
  }
  if (parsed->version) {
    std::printf("kra-capture %s\n%s\n", KRA_VERSION, KRA_LICENCE_LINE);
    return 0;
  }

  Capture capture;
  capture.options = *parsed;
  capture.window = {capture.options.from_seconds, capture.options.to_seconds, capture.options.fps};
  capture.expected = CaptureWindowFrames(capture.window);
  if (capture.expected == 0) return Fail(NoFrameInWindow(capture.options), 2);
  if (!capture.options.frames_dir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(capture.options.frames_dir), ec);
    if (ec) return Fail("cannot create " + capture.options.frames_dir + ": " + ec.message());
  }

  if (capture.options.width > 0) {
    capture.scale = PlanFrameScale(WIDTH, DISPLAY_HEIGHT, capture.options.width, capture.options.height);
    capture.scaled.resize(static_cast<size_t>(capture.options.width) * capture.options.height * 4);
  }
  const int out_width = capture.options.width > 0 ? capture.options.width : WIDTH;
  const int out_height = capture.options.width > 0 ? capture.options.height : DISPLAY_HEIGHT;

  // 32 bits only, so every frame arrives as B, G, R, A bytes.
  HeadlessDisplayConfig config;
  config.accepted_bits = {32};
  HeadlessDisplay display(config);
  VirtualCounter counter(capture.options.fps);
  CaptureAudio audio(capture.options.fps);

  // The picture goes to a silent video first; the sound is added once the demo has ended.
  const std::string& video_path = capture.options.video_path;
  TemporaryFile silent_video;
  if (!video_path.empty()) silent_video.path = video_path + ".silent.mp4";
  if (!video_path.empty() &&
      !capture.video.Open(silent_video.path, out_width, out_height, capture.options.fps, &error)) {
    return Fail(error);
  }

  display.SetFrameSink([&capture, &audio](const HeadlessFrame& frame) {
    // Past --to nothing more is kept: the run ends here rather than drawing to the end. The
    // sound is told of the frame, so what was kept ends where the picture does.
    if (PastCaptureWindow(capture.window, g_demo.clock.seconds)) {
      audio.FramePresented(capture.presented + 1, false);
      EndProcess(0);
    }
    ++capture.presented;
    const bool kept = InCaptureWindow(capture.window, g_demo.clock.seconds);
    if (kept) KeepFrame(capture, frame);
    audio.FramePresented(capture.presented, kept);
    ShowProgress(capture, false);
  });

  // Frames before --from are not drawn at all: the demo seeks there on the capture's own
  // frame step, so what follows is exactly what a run from the start shows. The seek lands
  // on the window's first frame, which may lie a hair before --from.
  DemoOptions demo;
  demo.from_seconds = static_cast<float>(CaptureWindowStart(capture.window));
  demo.seek_fps = capture.options.fps;
  demo.player = false;
  const int status = RunDemo({.display = &display, .counter = &counter, .audio = audio.Device()}, demo);
  ShowProgress(capture, true);

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
  if (!capture.options.quiet && capture.presented > 0) {
    std::fprintf(stderr, "kra-capture: kept %lld of %lld frames\n", static_cast<long long>(capture.kept),
                 static_cast<long long>(capture.presented));
  }
  if (status == 0 && capture.kept == 0) return Fail(NoFrameInWindow(capture.options), 2);
  return status;
}
