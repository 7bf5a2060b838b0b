#include "app/win32/startup_trace.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace varnelo {
namespace {

std::uint64_t Ticks(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;  // 100 ns
}

std::vector<std::pair<const char*, std::uint64_t>>& Steps() {
  static std::vector<std::pair<const char*, std::uint64_t>> steps;
  return steps;
}

}  // namespace

void TraceStep(const char* step) {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  Steps().emplace_back(step, Ticks(now));
}

void TraceReport() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  std::uint64_t previous = Ticks(created);
  for (const auto& [step, at] : Steps()) {
    std::fprintf(stderr, "trace %8.2f %7.2f %s\n", static_cast<double>(at - Ticks(created)) / 1e4,
                 static_cast<double>(at - previous) / 1e4, step);
    previous = at;
  }
  std::fflush(stderr);
}

}  // namespace varnelo
