// Sample frames for looking at the pictures together, layered the way the demo parts draw
// them: background, rear strip, the 3D scene, middle strip, front strip, speech bubble.
#pragma once

#include <string>

namespace assets {

// Writes preview_*.png into dir; returns false with a message if a file cannot be written.
bool WritePreviews(const std::string& dir, std::string* error);

}  // namespace assets
