// What every fuzz target shares: a quiet engine, a copy of the input as a MemChunk, and the
// one failure that counts as clean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/fatal.h"
#include "platform/process.h"
#include "resource/mem_chunk.h"

// Message boxes off, loader traces off, the data archive closed and searching disk only.
void QuietEngine();

// The input as a chunk of newly allocated bytes (the loaders free what they consume).
MemChunk ChunkOf(const uint8_t* data, size_t size, const char* name);

// A scratch folder of this process, made once; the targets that need files work in it.
const std::string& ScratchFolder();

// Writes bytes to path; false when it cannot.
bool WriteFile(const std::string& path, const uint8_t* data, size_t size);

// The files scene scripts may name, written into the working folder: objects "cube.lwo"
// (and its twice-as-big morph target "morph.lwo"), "quad.lwo" and "tri.lwo", each with a
// lightmap UV map and a surface showing "skin.png", and the motion file "walk.mot".
void WriteScriptFiles();

// Runs fn; a fatal data error (FatalError) or an ended process (ProcessExit) is the designed
// way out of bad data, anything else propagates and is a finding.
template <typename Fn>
void RunLoader(Fn fn) {
  try {
    fn();
  } catch (const FatalError&) {
  } catch (const ProcessExit&) {
  }
}
