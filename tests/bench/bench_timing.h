// Timing helpers of the Windows benchmarks: the performance counter in
// seconds and a call's cost in microseconds (the median of rounds is in
// tests/common/bench_stats.h).
#pragma once

#include <windows.h>

#include "../common/bench_stats.h"

namespace veltra::bench {

inline double Seconds(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call of `call`, over `count` calls in a row.
template <class F>
double MicrosecondsPerCall(F call, int count) {
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) call();
  ::QueryPerformanceCounter(&end);
  return Seconds(end.QuadPart - start.QuadPart) * 1e6 / count;
}

}  // namespace veltra::bench
