// Timing helpers of the Windows benchmarks: the performance counter in
// seconds, a call's cost in microseconds, the median of rounds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

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

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace veltra::bench
