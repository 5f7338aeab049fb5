// Decoded images kept while the data archive stays open. The demo's parts each load the
// same wave strips, backgrounds, bubbles and mesh textures: a PNG whose bytes match, byte for
// byte, a file decoded before is answered with a copy of that decode rather than decoded
// again. Opening or closing an archive forgets them all, so every run of the demo decodes
// its files afresh.
#pragma once

#include "resource/mem_chunk.h"
#include "resource/texture.h"

// A fresh copy (the caller's to free) of the image decoded before from the same bytes, or
// an empty Texture when there is none.
Texture ReusedDecode(const MemChunk& chunk);

// Keeps a copy of the image decoded from chunk's bytes, while the kept copies stay under a
// few dozen megabytes.
void KeepDecode(const MemChunk& chunk, const Texture& image);

void ForgetDecodes();
