#include "platform/printable_text.h"

#include <cstdio>

std::string PrintableText(std::string_view text, bool keep_line_breaks) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n' && keep_line_breaks) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte == 0x1b) {
      out += "\\e";
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

std::string OneLineText(std::string_view text) {
  std::string joined;
  bool pending_space = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r' || ((c == ' ' || c == '\t') && (joined.empty() || pending_space))) {
      pending_space = !joined.empty();
      continue;
    }
    if (pending_space) joined += ' ';
    pending_space = false;
    joined += c;
  }
  while (!joined.empty() && (joined.back() == ' ' || joined.back() == '\t')) joined.pop_back();
  return PrintableText(joined);
}
