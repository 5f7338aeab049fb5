// Message boxes: a modal box with one OK button when enabled, else "caption: text" on
// stderr. The demo enables boxes once its display is up; tools and tests never do, so an
// automated run can never block on a box nobody will close.
#pragma once

void ShowMessageBox(const char* text, const char* caption);
void SetMessageBoxesEnabled(bool enabled);
bool MessageBoxesEnabled();
