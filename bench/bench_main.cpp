// Runs the native benchmarks, then prints each summary row registered with
// AddBenchSummary from the times Google Benchmark measured in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_summary.h"

namespace {

struct Summary {
  BenchRow row;
  std::string run;
  std::string anchorRun;
  BenchClock clock;
};

struct Times {
  double cpu = 0;
  double manual = 0;  // the time the benchmark reported itself
};

std::vector<Summary>& Summaries() {
  static std::vector<Summary> summaries;
  return summaries;
}

// Keeps the times of one iteration of every benchmark by its function name:
// the best of its repetitions (the "min" statistic).
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  RecordingReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "min" || run.iterations == 0) {
        continue;
      }
      const double iterations = static_cast<double>(run.iterations);
      times_[run.run_name.function_name] = {run.cpu_accumulated_time / iterations,
                                            run.real_accumulated_time / iterations};
    }
  }
  std::map<std::string, Times> times_;
};

}  // namespace

double BestOf(const std::vector<double>& values) {
  double best = values.empty() ? 0 : values[0];
  for (double value : values) best = value < best ? value : best;
  return best;
}

int AddBenchSummary(const BenchRow& row, const char* run, const char* anchorRun, BenchClock clock) {
  Summaries().push_back({row, run, anchorRun, clock});
  return 1;
}

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n");
  for (const Summary& summary : Summaries()) {
    auto figure = reporter.times_.find(summary.run);
    auto anchor = reporter.times_.find(summary.anchorRun);
    if (figure == reporter.times_.end() || anchor == reporter.times_.end()) continue;
    const bool cpu = summary.clock == kCpuClock;
    PrintBenchRow(summary.row, cpu ? figure->second.cpu : figure->second.manual,
                  cpu ? anchor->second.cpu : anchor->second.manual);
  }
  return 0;
}
