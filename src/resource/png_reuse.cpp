#include "resource/png_reuse.h"

#include <cstring>
#include <vector>

#include "resource/png_texture.h"

namespace {

constexpr size_t kMaxKeptBytes = size_t(32) << 20;

struct KeptDecode {
  std::vector<uint8_t> file;  // the PNG's bytes, compared whole
  Texture image;              // owned: pixels from CreateTexture
};

struct KeptDecodes {
  std::vector<KeptDecode> entries;
  size_t bytes = 0;
  ~KeptDecodes() { ForgetDecodes(); }
};

KeptDecodes& Kept() {
  static KeptDecodes kept;
  return kept;
}

size_t PixelBytes(const Texture& t) { return static_cast<size_t>(t.width) * static_cast<size_t>(t.height) * 4; }

}  // namespace

Texture ReusedDecode(const MemChunk& chunk) {
  if (chunk.size <= 0 || !chunk.data) return Texture{};
  for (const KeptDecode& kept : Kept().entries) {
    if (kept.file.size() != static_cast<size_t>(chunk.size) ||
        std::memcmp(kept.file.data(), chunk.data, kept.file.size()) != 0) {
      continue;
    }
    Texture copy = CreateTexture(kept.image.width, kept.image.height);
    if (!copy.pixels) return Texture{};
    std::memcpy(copy.pixels, kept.image.pixels, PixelBytes(kept.image));
    copy.has_alpha = kept.image.has_alpha;
    return copy;
  }
  return Texture{};
}

void KeepDecode(const MemChunk& chunk, const Texture& image) {
  KeptDecodes& kept = Kept();
  if (chunk.size <= 0 || !chunk.data || !image.pixels) return;
  const size_t bytes = PixelBytes(image) + static_cast<size_t>(chunk.size);
  if (kept.bytes + bytes > kMaxKeptBytes) return;
  KeptDecode entry{std::vector<uint8_t>(chunk.data, chunk.data + chunk.size), CreateTexture(image.width, image.height)};
  if (!entry.image.pixels) return;
  std::memcpy(entry.image.pixels, image.pixels, PixelBytes(image));
  entry.image.has_alpha = image.has_alpha;
  kept.entries.push_back(std::move(entry));
  kept.bytes += bytes;
}

void ForgetDecodes() {
  KeptDecodes& kept = Kept();
  for (KeptDecode& entry : kept.entries) FreeTexture(&entry.image);
  kept.entries.clear();
  kept.bytes = 0;
}
