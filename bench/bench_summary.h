// Summary rows of the native benchmarks: each names the Google Benchmark run
// of the program and that of its anchor.
#pragma once

#include <benchmark/benchmark.h>

#include <vector>

#include "bench_row.h"

// Which time a summary compares. The machine is shared, so rows compare the
// processor time the work took rather than the wall clock: kCpuClock for work
// on the benchmark's own thread, kManualClock for benchmarks that report the
// processor time of their own (of a child process, say) as manual time.
enum BenchClock { kCpuClock, kManualClock };

// Registers a row printed after all runs, naming the benchmark functions of
// the program and of the anchor; returns 1 (for a static initialiser).
int AddBenchSummary(const BenchRow& row, const char* run, const char* anchorRun,
                    BenchClock clock);

// Registers a benchmark in milliseconds, repeated so that the summary can take
// the best of its repetitions, the one least disturbed by the rest of the
// machine.
#define TAVIX_BENCHMARK(function)                                                   \
  BENCHMARK(function)                                                               \
      ->Unit(benchmark::kMillisecond)                                               \
      ->Repetitions(5)                                                              \
      ->ComputeStatistics("min", BestOf)                                            \
      ->DisplayAggregatesOnly()

// The smallest of the values (the statistic "min").
double BestOf(const std::vector<double>& values);
