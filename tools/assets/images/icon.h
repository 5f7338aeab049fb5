// The application icon: the title card of the intro cut square around the title, with round
// corners, at the sizes a desktop's icon theme asks for.
#pragma once

#include <string>

namespace assets {

// 512: the largest a web app manifest names, for a phone's home screen and splash.
constexpr int ICON_SIZES[] = {64, 128, 256, 512};

// Writes DIR/NxN/apps/kra.png for every size of ICON_SIZES (the layout of an icon theme, so
// DIR can be installed as share/icons/hicolor). False with a message when a file cannot be
// written.
bool WriteIcons(const std::string& dir, std::string* error);

}  // namespace assets
