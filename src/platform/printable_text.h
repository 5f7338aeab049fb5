// Text from data files and from the command line made safe for a terminal or a window title:
// a file name may hold escape sequences that would clear the screen or recolour it.
#pragma once

#include <string>
#include <string_view>

// Control characters (below 32, and 127) as \n, \t, \e or \xNN, so nothing in the text acts on
// a terminal. Everything else is kept: bytes of 128 and up, so UTF-8 names stay readable, and
// backslashes, so Windows paths read as paths.
// keep_line_breaks leaves '\n' as it is, for messages of several lines.
std::string PrintableText(std::string_view text, bool keep_line_breaks = false);

// One line for a title or a summary: line breaks and the spaces round them become one space,
// the ends are trimmed, and what is left goes through PrintableText.
std::string OneLineText(std::string_view text);
