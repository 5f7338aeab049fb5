#include "demo/entry.h"

#include "demo/player.h"
#include "platform/fatal.h"
#include "platform/process.h"

namespace {

int RunDemoBody(const DemoOptions& options) {
  const int status = StartDemo();
  if (status != DEMO_READY) return status;
  if (options.player) StartPlayer();
  StartDemoClock(options.from_seconds, options.seek_fps);
  if (options.player) {
    while (PlayFrame()) {
    }
  } else {
    while (StepDemoFrame()) PresentDemoFrame();
  }
  ReleasePlayer();
  return FinishDemo();
}

}  // namespace

int RunDemo(const DemoOptions& options) {
  return GuardDemoRun([&] { return RunDemoBody(options); });
}

int GuardDemoRun(const std::function<int()>& body) {
  try {
    return body();
  } catch (const ProcessExit& exit) {
    ReleasePlayer();
    ReleaseEndedDemo();
    return exit.status;
  } catch (const FatalError& error) {
    ReportFatal(error);
    ReleasePlayer();
    ReleaseEndedDemo();
    return error.status;
  }
}
