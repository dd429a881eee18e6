// One row of the benchmark summary: a figure of the program printed next to
// its anchor, both measured in the same run, with their ratio and whether the
// target is met. Shared by the native benchmarks and the ones run under Wine.
#pragma once

#include <cstdio>

struct BenchRow {
  const char* what;      // what the program does
  const char* anchor;    // what it is compared with
  double amount;         // work of one pass: bytes, lines, or 0 (a time only)
  const char* unit;      // "B" (shown as GB/s), "lines" (lines/s), or nullptr
  double minRate;        // lowest rate that meets the target (0: none)
  double maxRatio;       // highest time / anchor time that meets it (0: none)
  double minSpeedup;     // lowest anchor time / time that meets it (0: none)
  const char* target;    // the target as a person reads it
  bool speedup = false;  // show the ratio as "N x faster" even without minSpeedup
};

// A time as a person reads it: milliseconds, or microseconds below one.
inline void PrintBenchTime(char* out, std::size_t size, double seconds) {
  if (seconds < 1e-3) {
    std::snprintf(out, size, "%.1f us", seconds * 1e6);
  } else {
    std::snprintf(out, size, "%.2f ms", seconds * 1e3);
  }
}

// Rate of `amount` in `seconds`, in the unit the row shows.
inline double BenchRate(const BenchRow& row, double seconds) {
  double rate = seconds > 0 ? row.amount / seconds : 0;
  return row.unit != nullptr && row.unit[0] == 'B' ? rate / 1e9 : rate;
}

inline void PrintBenchFigure(char* out, std::size_t size, const BenchRow& row, double seconds) {
  char time[32];
  PrintBenchTime(time, sizeof time, seconds);
  if (row.unit == nullptr) {
    std::snprintf(out, size, "%s", time);
  } else if (row.unit[0] == 'B') {
    std::snprintf(out, size, "%.2f GB/s (%s)", BenchRate(row, seconds), time);
  } else {
    std::snprintf(out, size, "%.0f %s/s (%s)", BenchRate(row, seconds), row.unit, time);
  }
}

// Prints the row for a pass of the program (`seconds`) and of the anchor
// (`anchorSeconds`); returns 1 when the target is met.
inline int PrintBenchRow(const BenchRow& row, double seconds, double anchorSeconds) {
  char figure[64];
  char anchorFigure[64];
  PrintBenchFigure(figure, sizeof figure, row, seconds);
  PrintBenchFigure(anchorFigure, sizeof anchorFigure, row, anchorSeconds);
  const double ratio = anchorSeconds > 0 ? seconds / anchorSeconds : 0;
  int met = 1;
  if (row.minRate > 0 && BenchRate(row, seconds) < row.minRate) met = 0;
  if (row.maxRatio > 0 && ratio > row.maxRatio) met = 0;
  if (row.minSpeedup > 0 && (ratio <= 0 || 1 / ratio < row.minSpeedup)) met = 0;
  char ratioText[64];
  if (row.minSpeedup > 0 || row.speedup) {
    if (ratio > 1) {
      std::snprintf(ratioText, sizeof ratioText, "%.1fx slower than the anchor", ratio);
    } else {
      std::snprintf(ratioText, sizeof ratioText, "%.1fx faster than the anchor", ratio > 0 ? 1 / ratio : 0);
    }
  } else {
    std::snprintf(ratioText, sizeof ratioText, "%.2fx the anchor's time", ratio);
  }
  const bool judged = row.minRate > 0 || row.maxRatio > 0 || row.minSpeedup > 0;
  std::printf("row | %s | %s | anchor, %s: %s | %s | target %s | %s\n", row.what, figure,
              row.anchor, anchorFigure, ratioText, row.target,
              !judged ? "not judged" : met ? "met" : "NOT MET");
  std::fflush(stdout);
  return met;
}
