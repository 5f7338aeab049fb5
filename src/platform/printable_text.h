// Text from data files and from the command line made safe for a terminal or a window title:
// a file name may hold escape sequences that would clear the screen or recolour it.
#pragma once

#include <string>
#include <string_view>

// Control characters (below 32, and 127) as \n, \t, \e or \xNN, the C1 controls (U+0080 to
// U+009F) and the bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to
// U+2069) as \uNNNN, and bytes that are not UTF-8 as \xNN, so nothing in the text acts on a
// terminal or turns what follows it around. Everything else is kept: UTF-8 names stay
// readable, and backslashes stay, so Windows paths read as paths.
// keep_line_breaks leaves '\n' as it is, for messages of several lines.
std::string PrintableText(std::string_view text, bool keep_line_breaks = false);

// One line for a title or a summary: line breaks and the spaces round them become one space,
// the ends are trimmed, and what is left goes through PrintableText.
std::string OneLineText(std::string_view text);
