#include "platform/load_problems.h"

#include <utility>

#include "platform/printable_text.h"

namespace {

struct ProblemSink {
  bool collecting = false;
  int64_t noted = 0;
  std::vector<LoadProblem> kept;
};

ProblemSink g_sink;

}  // namespace

void NoteLoadProblem(const std::string& file, const std::string& reason) {
  ++g_sink.noted;
  if (g_sink.collecting) g_sink.kept.push_back({OneLineText(file), OneLineText(reason)});
}

int64_t LoadProblemsNoted() { return g_sink.noted; }

void StartLoadProblems() {
  g_sink.kept.clear();
  g_sink.collecting = true;
}

std::vector<LoadProblem> TakeLoadProblems() {
  g_sink.collecting = false;
  return std::exchange(g_sink.kept, {});
}
