// A scene's handle on a registered texture: its id in the texture table and the file name it
// was loaded under, which meshes match their surface image names against.
#pragma once

#include <cstdint>

constexpr int TEXTURE_REF_NAME_SIZE = 20;

struct TextureRef {
  int32_t id;                        // slot in g_texture_table
  char name[TEXTURE_REF_NAME_SIZE];  // NUL-terminated, at most 19 characters (longer names cut)
};
