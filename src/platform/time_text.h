// Moments written as people write them in links and on command lines: seconds ("97",
// "97.5"), minutes and seconds with units ("1m37s", "1m", "37s", "1h2m3s") or with colons
// ("1:37", "1:02:03", "1:37.5"). The page's #t= reads the same forms (web/index.html).
#pragma once

#include <string>

// The seconds text stands for; false for anything else ("", "-3", "1:75", "1s2m", "nan").
bool ParseMoment(const std::string& text, double* seconds);

// The same within [low, high], with the error for option name worded:
// "--from: '1x' is not a time (97, 1m37s or 1:37)" or "--from must be from 0 to 116".
bool ParseMomentOption(const char* name, const char* text, double low, double high, double* value,
                       std::string* error);
