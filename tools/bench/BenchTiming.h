// The benchmarks' timing loop: one warm-up call, then as many calls as fit in about half a second, read from
// the performance counter.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>

inline double BenchSeconds() {
  LARGE_INTEGER F, C;
  QueryPerformanceFrequency(&F);
  QueryPerformanceCounter(&C);
  return static_cast<double>(C.QuadPart) / static_cast<double>(F.QuadPart);
}

// Seconds per call of Op; the warm-up call keeps first-use costs (caches, lazy loads) out of the figure.
inline double PerCall(const std::function<void()>& Op) {
  Op();
  int Runs = 0;
  const double Start = BenchSeconds();
  double Now = Start;
  while (Now - Start < 0.5) {
    Op();
    ++Runs;
    Now = BenchSeconds();
  }
  return (Now - Start) / Runs;
}

// Times Op, prints its name and the milliseconds per call on one line, and returns those milliseconds.
inline double Measure(const char* Name, const std::function<void()>& Op) {
  const double Ms = PerCall(Op) * 1e3;
  std::printf("%-52s %8.3f ms\n", Name, Ms);
  return Ms;
}
