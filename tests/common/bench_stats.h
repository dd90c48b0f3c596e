// The statistics every benchmark reports: the median of its rounds, which
// one slow round (the machine busy elsewhere) does not move. Portable, for
// the Windows and the native benchmarks alike.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace veltra::bench {

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace veltra::bench
