// Row converters against SDL_ConvertPixels doing the same conversion, and the spine's whole
// frame (clear, convert, present to the headless display).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "demo/frame_buffer.h"
#include "display/display_window.h"
#include "display/row_converter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "ratio_reporter.h"

namespace {

constexpr int kRow = 512;
constexpr int kRows = 384;

std::vector<uint32_t> RandomPixels(int count) {
  std::mt19937 random(7);
  std::vector<uint32_t> pixels(count);
  for (uint32_t& p : pixels) p = random();
  return pixels;
}

void Ours(benchmark::State& state, RowConverter converter, int bytes_per_pixel, int rows) {
  const auto source = RandomPixels(kRow * rows);
  std::vector<uint8_t> destination(static_cast<size_t>(kRow) * rows * bytes_per_pixel);
  for (auto _ : state) {
    for (int y = 0; y < rows; ++y) {
      converter(source.data() + y * kRow, destination.data() + static_cast<size_t>(y) * kRow * bytes_per_pixel, kRow);
    }
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRow * rows);
}

void Sdl(benchmark::State& state, uint32_t format, int bytes_per_pixel, int rows) {
  const auto source = RandomPixels(kRow * rows);
  std::vector<uint8_t> destination(static_cast<size_t>(kRow) * rows * bytes_per_pixel);
  for (auto _ : state) {
    SDL_ConvertPixels(kRow, rows, SDL_PIXELFORMAT_ARGB8888, source.data(), kRow * 4, format, destination.data(),
                      kRow * bytes_per_pixel);
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRow * rows);
}

#define OURS(name, fn, bpp)                                             \
  BENCHMARK_CAPTURE(Ours, name##_row, fn, bpp, 1)->Name("ours/" #name "/row");   \
  BENCHMARK_CAPTURE(Ours, name##_frame, fn, bpp, kRows)->Name("ours/" #name "/frame");
OURS(Copy32, ConvertRowCopy32, 4)
OURS(Swap32, ConvertRowSwap32, 4)
OURS(Rgb24, ConvertRowRgb24, 3)
OURS(Bgr24, ConvertRowBgr24, 3)
OURS(Rgb565, ConvertRowRgb565, 2)
OURS(Bgr565, ConvertRowBgr565, 2)
OURS(Rgb555, ConvertRowRgb555, 2)
OURS(Bgr555, ConvertRowBgr555, 2)

#define SDLCONV(name, format, bpp)                                                     \
  BENCHMARK_CAPTURE(Sdl, name##_row, format, bpp, 1)->Name("sdl/" #name "/row");       \
  BENCHMARK_CAPTURE(Sdl, name##_frame, format, bpp, kRows)->Name("sdl/" #name "/frame");
SDLCONV(Copy32, SDL_PIXELFORMAT_ARGB8888, 4)
SDLCONV(Swap32, SDL_PIXELFORMAT_XBGR8888, 4)
SDLCONV(Rgb24, SDL_PIXELFORMAT_BGR24, 3)
SDLCONV(Bgr24, SDL_PIXELFORMAT_RGB24, 3)
SDLCONV(Rgb565, SDL_PIXELFORMAT_RGB565, 2)
SDLCONV(Bgr565, SDL_PIXELFORMAT_BGR565, 2)
SDLCONV(Rgb555, SDL_PIXELFORMAT_RGB555, 2)
SDLCONV(Bgr555, SDL_PIXELFORMAT_BGR555, 2)

// One frame of the spine with nothing drawn: clear the frame, convert the display buffer
// into the back buffer and flip. Items per second are frames per second.
void SpineFrame(benchmark::State& state, int bits) {
  HeadlessDisplayConfig config;
  config.accepted_bits = {bits};
  HeadlessDisplay display(config);
  if (!OpenDisplay(&display, "kra", WIDTH, DISPLAY_HEIGHT)) {
    state.SkipWithError("cannot open the headless display");
    return;
  }
  FrameBuffer buffer{};
  CreateFrameBuffer(&buffer, WIDTH, HEIGHT, DISPLAY_HEIGHT);
  for (auto _ : state) {
    ClearFrameBuffer(&buffer);
    ShowFrameBuffer(&buffer);
  }
  FreeFrameBuffer(&buffer);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(SpineFrame, 32, 32)->Name("spine/frame/32bit");
BENCHMARK_CAPTURE(SpineFrame, 24, 24)->Name("spine/frame/24bit");
BENCHMARK_CAPTURE(SpineFrame, 16, 16)->Name("spine/frame/16bit");

}  // namespace

KRA_BENCHMARK_MAIN_WITH_RATIOS({
    {"ours/Copy32/row", "sdl/Copy32/row"},     {"ours/Copy32/frame", "sdl/Copy32/frame"},
    {"ours/Swap32/row", "sdl/Swap32/row"},     {"ours/Swap32/frame", "sdl/Swap32/frame"},
    {"ours/Rgb24/row", "sdl/Rgb24/row"},       {"ours/Rgb24/frame", "sdl/Rgb24/frame"},
    {"ours/Bgr24/row", "sdl/Bgr24/row"},       {"ours/Bgr24/frame", "sdl/Bgr24/frame"},
    {"ours/Rgb565/row", "sdl/Rgb565/row"},     {"ours/Rgb565/frame", "sdl/Rgb565/frame"},
    {"ours/Bgr565/row", "sdl/Bgr565/row"},     {"ours/Bgr565/frame", "sdl/Bgr565/frame"},
    {"ours/Rgb555/row", "sdl/Rgb555/row"},     {"ours/Rgb555/frame", "sdl/Rgb555/frame"},
    {"ours/Bgr555/row", "sdl/Bgr555/row"},     {"ours/Bgr555/frame", "sdl/Bgr555/frame"},
})
