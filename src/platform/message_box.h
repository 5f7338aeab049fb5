// Message boxes: a modal box with one OK button when enabled, else "caption: text" on
// stderr (the text alone when the caption is empty or the text already holds it). The demo
// enables boxes once its display is up; tools and tests never do, so an
// automated run can never block on a box nobody will close. KRA_NO_MESSAGE_BOXES=1 in the
// environment keeps even the demo's on stderr, for tests of the whole program.
#pragma once

void ShowMessageBox(const char* text, const char* caption);
void SetMessageBoxesEnabled(bool enabled);
bool MessageBoxesEnabled();

// The backend's own box (one file per platform): true once the user has closed it, false
// when there is no box to show here (the line then goes to stderr).
bool ShowSystemMessageBox(const char* text, const char* caption);
