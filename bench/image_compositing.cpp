// DrawImage against pixman and SDL doing the same compositing in the same run: a full
// 512x384 image onto the frame and a 660x100 wave strip at x = -130 (cut on both sides),
// blended (RGBA) and copied (RGB).
//
// Two kinds of alpha content: "mixed" draws a different alpha in every pixel, the worst case
// for libraries that skip transparent and opaque runs; "sprite" is what the demo's strips
// and bubbles look like: transparent above, opaque below, a soft edge between. Our blend
// does the same arithmetic on every pixel either way.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "demo/frame_buffer.h"
#include "display/image_blit.h"

#ifdef KRA_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace {

struct Placement {
  int width, height, x, y;
};
constexpr Placement kFull = {WIDTH, HEIGHT, 0, 0};
constexpr Placement kStrip = {660, 100, -130, 284};

// Pixels drawn into the frame for a placement (what each library gets credited with).
int64_t DrawnPixels(const Placement& p) {
  int x0 = p.x < 0 ? 0 : p.x, y0 = p.y < 0 ? 0 : p.y;
  int x1 = p.x + p.width > WIDTH ? WIDTH : p.x + p.width;
  int y1 = p.y + p.height > HEIGHT ? HEIGHT : p.y + p.height;
  return (int64_t)(x1 - x0) * (y1 - y0);
}

enum class Content { kMixed, kSprite, kOpaque };

std::vector<uint32_t> MakeImage(const Placement& p, Content content) {
  std::mt19937 random(17);
  std::vector<uint32_t> pixels((size_t)p.width * p.height);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      uint32_t rgb = random() & 0xFFFFFFu;
      uint32_t alpha = 255;
      if (content == Content::kMixed) alpha = random() & 0xFF;
      if (content == Content::kSprite) {
        int edge = p.height / 3 + (int)(8 * ((x / 16) % 4));  // a stepped crest
        alpha = y < edge ? 0 : y < edge + 12 ? (uint32_t)((y - edge) * 255 / 12) : 255;
      }
      pixels[(size_t)y * p.width + x] = alpha << 24 | rgb;
    }
  }
  return pixels;
}

std::vector<uint32_t> MakeFrame() { return std::vector<uint32_t>((size_t)WIDTH * HEIGHT, 0xFF203040u); }

void Ours(benchmark::State& state, Placement p, Content content) {
  std::vector<uint32_t> image = MakeImage(p, content);
  std::vector<uint32_t> frame = MakeFrame();
  Texture source = {p.width, p.height, image.data(), content == Content::kOpaque ? 0 : 1};
  Texture destination = {WIDTH, HEIGHT, frame.data(), 0};
  for (auto _ : state) {
    DrawImage(&destination, &source, p.x, p.y);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * DrawnPixels(p));
}

void Sdl(benchmark::State& state, Placement p, Content content) {
  std::vector<uint32_t> image = MakeImage(p, content);
  std::vector<uint32_t> frame = MakeFrame();
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(image.data(), p.width, p.height, 32,
                                                           p.width * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_Surface* destination = SDL_CreateRGBSurfaceWithFormatFrom(frame.data(), WIDTH, HEIGHT, 32,
                                                                WIDTH * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_SetSurfaceBlendMode(source, content == Content::kOpaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  for (auto _ : state) {
    SDL_Rect at = {p.x, p.y, p.width, p.height};
    SDL_BlitSurface(source, nullptr, destination, &at);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(source);
  SDL_FreeSurface(destination);
  state.SetItemsProcessed(state.iterations() * DrawnPixels(p));
}

#ifdef KRA_HAVE_PIXMAN
void Pixman(benchmark::State& state, Placement p, Content content) {
  std::vector<uint32_t> image = MakeImage(p, content);
  std::vector<uint32_t> frame = MakeFrame();
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, p.width, p.height, image.data(), p.width * 4);
  pixman_image_t* destination = pixman_image_create_bits(PIXMAN_a8r8g8b8, WIDTH, HEIGHT, frame.data(), WIDTH * 4);
  pixman_op_t op = content == Content::kOpaque ? PIXMAN_OP_SRC : PIXMAN_OP_OVER;
  for (auto _ : state) {
    pixman_image_composite32(op, source, nullptr, destination, 0, 0, 0, 0, p.x, p.y, p.width, p.height);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(source);
  pixman_image_unref(destination);
  state.SetItemsProcessed(state.iterations() * DrawnPixels(p));
}
#endif

#define CASES(who, fn)                                                                            \
  BENCHMARK_CAPTURE(fn, full_mixed, kFull, Content::kMixed)->Name(who "/blend/512x384/mixed");   \
  BENCHMARK_CAPTURE(fn, full_sprite, kFull, Content::kSprite)->Name(who "/blend/512x384/sprite"); \
  BENCHMARK_CAPTURE(fn, strip_mixed, kStrip, Content::kMixed)->Name(who "/blend/strip660/mixed"); \
  BENCHMARK_CAPTURE(fn, strip_sprite, kStrip, Content::kSprite)->Name(who "/blend/strip660/sprite"); \
  BENCHMARK_CAPTURE(fn, full_copy, kFull, Content::kOpaque)->Name(who "/copy/512x384");          \
  BENCHMARK_CAPTURE(fn, strip_copy, kStrip, Content::kOpaque)->Name(who "/copy/strip660");

CASES("ours", Ours)
CASES("sdl", Sdl)
#ifdef KRA_HAVE_PIXMAN
CASES("pixman", Pixman)
#endif

}  // namespace

// Ratios from CPU time as well as wall time: on a shared machine the wall time of a run also
// counts the time other processes held the core, which CPU time leaves out.
class CpuRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        times_[run.benchmark_name()] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs) const {
    std::printf("\n%-30s %-32s %12s %12s\n", "ours", "theirs", "cpu ratio", "wall ratio");
    for (const auto& [ours, theirs] : pairs) {
      auto a = times_.find(ours), b = times_.find(theirs);
      if (a == times_.end() || b == times_.end()) continue;
      std::printf("%-30s %-32s %11.2fx %11.2fx\n", ours.c_str(), theirs.c_str(),
                  b->second.first / a->second.first, b->second.second / a->second.second);
    }
    std::printf("(ratio = their time / our time; above 1 means DrawImage is faster)\n");
  }

 private:
  std::map<std::string, std::pair<double, double>> times_;  // cpu, wall
};

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CpuRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const char* c : {"blend/512x384/mixed", "blend/512x384/sprite", "blend/strip660/mixed",
                        "blend/strip660/sprite", "copy/512x384", "copy/strip660"}) {
    for (const char* lib : {"pixman/", "sdl/"}) pairs.push_back({std::string("ours/") + c, lib + std::string(c)});
  }
  reporter.PrintRatios(pairs);
  benchmark::Shutdown();
  return 0;
}
