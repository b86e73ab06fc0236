// The shortest wall-clock and processor times of repeated rounds of a benchmark.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>

namespace vm::bench {

inline double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Started where a round begins.
struct Timer {
  std::chrono::steady_clock::time_point wallStart = std::chrono::steady_clock::now();
  double cpuStart = CpuSeconds();
};

// The shortest times seen.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
  void Keep(const Timer& timer) {
    wall = std::min(
        wall,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - timer.wallStart).count());
    cpu = std::min(cpu, CpuSeconds() - timer.cpuStart);
  }
};

}  // namespace vm::bench
