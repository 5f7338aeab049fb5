// Reading kra-view's files the way the demo finds them (working directory, data/, the
// archive), with what goes wrong reported on stderr in kra-check's form.
#pragma once

#include <string>

#include "check_report.h"
#include "resource/mem_chunk.h"
#include "resource/texture.h"

// The part of a path after its last '/'.
std::string BaseName(const std::string& path);

// Reads a file whole. The engine's lookup prints its own console lines; those are kept off
// stdout and replaced by one reason in *why ("not found", "empty file", ...).
MemChunk ReadDataFile(const std::string& path, std::string* why);

// Decodes a PNG (consuming the chunk); false, with the decoder's reason reported, when it
// does not decode.
bool DecodeImage(CheckReport* report, const std::string& path, MemChunk chunk, Texture* image);

// Reads and decodes a PNG; false, with the reason reported, when either fails.
bool ReadImage(CheckReport* report, const std::string& path, Texture* image);
