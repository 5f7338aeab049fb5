#include "demo/entry.h"

#include <exception>
#include <string>

#include "demo/player.h"
#include "platform/fatal.h"
#include "platform/process.h"

namespace {

// Anything else thrown (memory running out, a library's own exception) is no data fault the
// loaders could name, but it ends the run the same way: said, released, status 1.
int EndOnUnexpected(const std::string& what) {
  ReportFatal(FatalError("kra stopped on an internal error: " + what + "\n", "kra", 1));
  EndDemoRun(DemoEnd::kEarly);
  return 1;
}

}  // namespace

void StartDemoRun(const Platform& platform, const DemoOptions& options) {
  StartDemo(platform);
  FinishDemoStart(options);
}

void FinishDemoStart(const DemoOptions& options) {
  if (options.player) StartPlayer(options.watch);
  StartDemoClock(options.from_seconds, options.seek_fps);
}

void EndDemoRun(DemoEnd end) {
  ReleasePlayer();
  ReleaseDemo(end);
}

int RunDemo(const Platform& platform, const DemoOptions& options) {
  const std::optional<int> early = GuardDemoRun([&] {
    StartDemoRun(platform, options);
    if (options.player) {
      while (PlayFrame()) {
      }
    } else {
      while (StepDemoFrame()) PresentDemoFrame();
    }
    EndDemoRun(DemoEnd::kPlayedOut);
  });
  return early.value_or(0);
}

std::optional<int> GuardDemoRun(const std::function<void()>& body) {
  try {
    body();
    return std::nullopt;
  } catch (const ProcessExit& exit) {
    EndDemoRun(DemoEnd::kEarly);
    return exit.status;
  } catch (const FatalError& error) {
    ReportFatal(error);
    EndDemoRun(DemoEnd::kEarly);
    return error.status;
  } catch (const std::exception& error) {
    return EndOnUnexpected(error.what());
  } catch (...) {
    return EndOnUnexpected("an exception of no known type");
  }
}
