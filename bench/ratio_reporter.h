// A console reporter that also remembers each benchmark's best time, so a benchmark program
// can print how its own code compares with a library doing the same work in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Repetitions of a benchmark pool under its name without "/repeats:N", and the best (least)
  // time of them is kept: the run least disturbed by whatever else the machine was doing.
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      benchmark::BenchmarkName name = run.run_name;
      name.repetitions.clear();
      auto [best, fresh] = best_.try_emplace(name.str(), Times{run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()});
      if (fresh) continue;
      best->second.cpu = std::min(best->second.cpu, run.GetAdjustedCPUTime());
      best->second.real = std::min(best->second.real, run.GetAdjustedRealTime());
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Prints "theirs / ours" for each pair of benchmark names, on CPU time (what a shared
  // machine disturbs least) and on real time, each the best of the repetitions.
  void PrintRatios(const std::vector<std::pair<std::string, std::string>>& ours_vs_theirs) const {
    std::printf("\ntheirs / ours, the best of each benchmark's runs:\n%-52s %-40s %8s %8s\n", "ours", "theirs", "cpu",
                "real");
    for (const auto& [ours, theirs] : ours_vs_theirs) {
      auto a = best_.find(ours);
      auto b = best_.find(theirs);
      if (a == best_.end() || b == best_.end()) continue;
      char cpu[32];
      std::snprintf(cpu, sizeof cpu, "%.2fx", b->second.cpu / a->second.cpu);
      std::printf("%-52s %-40s %8s %7.2fx\n", ours.c_str(), theirs.c_str(), cpu, b->second.real / a->second.real);
    }
  }

 private:
  struct Times {
    double cpu, real;
  };
  std::map<std::string, Times> best_;
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
