// File names are UTF-8 throughout the engine and its tools, as the command line and the C
// runtime's fopen take them (on Windows the programs' manifest makes UTF-8 the active code
// page). std::filesystem alone converts a narrow string by the C library's locale, which on
// Windows is not UTF-8: paths go in and out through these two instead.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
