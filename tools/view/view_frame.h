// One frame of kra-view: cleared as the demo clears its frame, the background, the scene.
#pragma once

#include <string>

#include "resource/texture.h"
#include "view_content.h"

void DrawViewFrame(const ViewContent& content, Texture* frame);

// Writes the frame as an 8-bit RGB PNG (the pixels' alpha byte is left out). False with
// the reason in *error when the file cannot be written.
bool WriteViewPng(const Texture& frame, const std::string& path, std::string* error);
