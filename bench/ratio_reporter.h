// A console reporter that also remembers each benchmark's time, so a benchmark program can
// print how its own code compares with a library doing the same work in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Prints "ours is N x faster than theirs" for each pair of benchmark names.
  void PrintRatios(const std::vector<std::pair<std::string, std::string>>& ours_vs_theirs) const {
    std::printf("\n%-52s %-40s %s\n", "ours", "theirs", "theirs / ours");
    for (const auto& [ours, theirs] : ours_vs_theirs) {
      auto a = times_.find(ours);
      auto b = times_.find(theirs);
      if (a == times_.end() || b == times_.end()) continue;
      std::printf("%-52s %-40s %.2fx\n", ours.c_str(), theirs.c_str(), b->second / a->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

// The main of a benchmark program that prints ratios after its runs.
#define KRA_BENCHMARK_MAIN_WITH_RATIOS(...)                 \
  int main(int argc, char** argv) {                         \
    benchmark::Initialize(&argc, argv);                     \
    RatioReporter reporter;                                 \
    benchmark::RunSpecifiedBenchmarks(&reporter);           \
    reporter.PrintRatios(__VA_ARGS__);                      \
    benchmark::Shutdown();                                  \
    return 0;                                               \
  }
