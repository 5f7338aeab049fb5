// Fatal errors.
//
// A loader that meets data it cannot go on with raises a FatalError instead of ending the
// process itself. The demo's entry catches it, shows it (a message box when a caption is
// given and a display is up, otherwise a line on stderr) and exits with its status. Tools
// and tests catch it too, so a bad file never takes them down.
#pragma once

#include <stdexcept>
#include <string>

struct FatalError : std::runtime_error {
  FatalError(std::string message, std::string caption, int status)
      : std::runtime_error(message), caption(std::move(caption)), status(status) {}
  std::string caption;  // empty: a console line only, no message box
  int status;           // the process exit status
  // "file:line" (or "file") of the data the error was met in, when the raiser knew it only
  // as a name: the scene loader sets it for everything raised while a script is read. Kept
  // apart from the message so tools that say the place their own way do not say it twice.
  std::string place;
};

// Throws a FatalError. The message is shown as it stands (callers include their own
// line ends, as the console messages of the loaders do).
[[noreturn]] void RaiseFatal(const std::string& message, const std::string& caption, int status);

// Shows a caught fatal error the way the demo does: a message box when it has a caption and
// message boxes are enabled, otherwise the text on stderr; either way after "place: " when
// the error has a place.
void ReportFatal(const FatalError& error);
