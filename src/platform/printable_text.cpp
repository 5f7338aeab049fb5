#include "platform/printable_text.h"

#include <cstdint>
#include <cstdio>

namespace {

// The length of the well-formed UTF-8 sequence at text[at] and its code point, or 0 when the
// bytes there are not one (a stray continuation byte, a sequence cut short, an overlong form,
// a surrogate, a code point past U+10FFFF).
size_t DecodeUtf8(std::string_view text, size_t at, uint32_t* code_point) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  size_t length;
  uint32_t value;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(i) & 0x3F);
  }
  const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < least[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code_point = value;
  return length;
}

// Code points that act on a terminal or reorder what is shown: the C1 controls (U+009B is a
// terminal's CSI) and the bidirectional marks, embeddings, overrides and isolates, which can
// make a name read backwards or hide what follows it.
bool ActsOnText(uint32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

void AppendEscaped(std::string* out, const char* format, uint32_t value) {
  char escaped[12];
  std::snprintf(escaped, sizeof escaped, format, value);
  *out += escaped;
}

}  // namespace

std::string PrintableText(std::string_view text, bool keep_line_breaks) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const char c = text[at];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      uint32_t code_point = 0;
      const size_t length = DecodeUtf8(text, at, &code_point);
      if (length == 0) {
        AppendEscaped(&out, "\\x%02x", byte);  // not UTF-8: a terminal could read it as C1
        ++at;
      } else if (ActsOnText(code_point)) {
        AppendEscaped(&out, "\\u%04x", code_point);
        at += length;
      } else {
        out.append(text.substr(at, length));
        at += length;
      }
      continue;
    }
    ++at;
    if (c == '\n' && keep_line_breaks) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte == 0x1b) {
      out += "\\e";
    } else if (byte < 0x20 || byte == 0x7f) {
      AppendEscaped(&out, "\\x%02x", byte);
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
