#include "platform/time_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A plain non-negative decimal number taking the whole of text: digits, at most one point.
bool ReadDecimal(const std::string& text, double* value) {
  if (text.empty() || text == ".") return false;
  int points = 0;
  for (char c : text) {
    if (c == '.') {
      ++points;
    } else if (!std::isdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  if (points > 1) return false;
  *value = std::strtod(text.c_str(), nullptr);
  return std::isfinite(*value);
}

bool IsWhole(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// "1:37", "1:02:03": the last field may have a fraction, the ones after the first are below 60.
bool ParseColons(const std::string& text, double* seconds) {
  double total = 0.0;
  size_t start = 0;
  int fields = 0;
  for (;;) {
    const size_t colon = text.find(':', start);
    const std::string field = text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    const bool last = colon == std::string::npos;
    double value = 0.0;
    if (last ? !ReadDecimal(field, &value) : !IsWhole(field)) return false;
    if (!last) value = std::strtod(field.c_str(), nullptr);
    if (fields > 0 && value >= 60.0) return false;
    total = total * 60.0 + value;
    ++fields;
    if (last) break;
    start = colon + 1;
  }
  if (fields > 3) return false;
  *seconds = total;
  return true;
}

// "1h2m3s", "1m37s", "1m37", "37s": units in that order, each at most once.
bool ParseUnits(const std::string& text, double* seconds) {
  if (text.empty()) return false;
  static constexpr struct {
    char unit;
    double scale;
  } kUnits[] = {{'h', 3600.0}, {'m', 60.0}, {'s', 1.0}};
  double total = 0.0;
  size_t at = 0;
  int next_unit = 0;
  while (at < text.size()) {
    size_t end = at;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) ++end;
    double value = 0.0;
    if (!ReadDecimal(text.substr(at, end - at), &value)) return false;
    if (end == text.size()) {  // a bare number after minutes stands for seconds: "1m37"
      if (next_unit != 2) return false;
      total += value;
      break;
    }
    int unit = next_unit;
    while (unit < 3 && kUnits[unit].unit != std::tolower(static_cast<unsigned char>(text[end]))) ++unit;
    if (unit == 3) return false;
    total += value * kUnits[unit].scale;
    next_unit = unit + 1;
    at = end + 1;
  }
  *seconds = total;
  return true;
}

}  // namespace

bool ParseMoment(const std::string& text, double* seconds) {
  double value = 0.0;
  if (ReadDecimal(text, &value)) {
    *seconds = value;
    return true;
  }
  if (text.find(':') != std::string::npos) return ParseColons(text, seconds);
  return ParseUnits(text, seconds);
}

bool ParseMomentOption(const char* name, const char* text, double low, double high, double* value,
                       std::string* error) {
  double seconds = 0.0;
  if (!ParseMoment(text, &seconds)) {
    *error = std::string("--") + name + ": '" + text + "' is not a time (97, 1m37s or 1:37)";
    return false;
  }
  if (seconds < low || seconds > high) {
    char range[64];
    std::snprintf(range, sizeof range, "%g to %g", low, high);
    *error = std::string("--") + name + " must be from " + range;
    return false;
  }
  *value = seconds;
  return true;
}
