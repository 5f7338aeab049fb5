#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fatal.h"
#include "scene/scene_xml_state.h"
#include "platform/printable_text.h"

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

// One pass over both names: every attribute of every key element is tested against a
// dozen keywords, so this is the loader's innermost loop.
bool NameMatches(const char* name, const char* keyword) {
  if (*name == '\0') return false;
  for (; *name; name++, keyword++) {
    if (*keyword == '\0' || LowerAscii(*name) != LowerAscii(*keyword)) return false;
  }
  return true;
}

void GetAttr(char* dst, int32_t dst_size, const char* name, const XML_Char** atts) {
  const char* value = "";
  for (int i = 0; atts && atts[i]; i += 2) {
    if (NameMatches(atts[i], name)) value = atts[i + 1];
  }
  if (dst_size <= 0) return;
  int32_t n = 0;
  while (n < dst_size - 1 && value[n]) {
    dst[n] = value[n];
    n++;
  }
  dst[n] = '\0';
}

float GetFloatAttr(const char* name, const XML_Char** atts) {
  char text[NUMBER_ATTR_SIZE];
  GetAttr(text, sizeof(text), name, atts);
  if (text[0] == '\0') return -1.0f;
  return (float)std::atof(text);
}

// atoi's reading, without its undefined behaviour on values beyond int32.
int32_t GetIntAttr(const char* name, const XML_Char** atts) {
  char text[NUMBER_ATTR_SIZE];
  GetAttr(text, sizeof(text), name, atts);
  if (text[0] == '\0') return -1;
  errno = 0;
  long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return (int32_t)value;
}

bool AttrGiven(const char* name, const XML_Char** atts) { return GetIntAttr(name, atts) != -1; }

void XmlError(const char* subject, const char* text) {
  char message[XML_ERROR_TEXT_SIZE];
  // Names from the script are escaped here, where they join a message that may run over
  // lines of its own: a name cannot start a line of its own that reads like ours.
  std::snprintf(message, sizeof(message), "Error in XML: %s %s", PrintableText(subject).c_str(),
                PrintableText(text).c_str());
  RaiseFatal(message, "Error in XML", -1);
}
