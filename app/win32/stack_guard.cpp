// The stack protector's guard value and its failure routine, so that
// -fstack-protector-strong costs no library. GCC's own (libssp) seeds the
// guard in a constructor through CryptAcquireContext, which loads a
// cryptographic provider DLL before wWinMain has taken the current folder out
// of the DLL search path. This seed is what Microsoft's C runtime takes for
// its security cookie: the time, the process and thread ids, the time-stamp
// counter and where the stack lies (which ASLR varies), none of which loads a
// DLL.
#include "app/win32/startup_trace.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr std::uint64_t kUnseeded = 0x2B992DDFA232ULL;  // until the constructor below runs

// splitmix64's finaliser: every bit of the seed reaches every bit of the guard.
constexpr std::uint64_t Mix(std::uint64_t x) {
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

}  // namespace

extern "C" {

// Read by the code that -fstack-protector-strong adds to each function with an
// array or an address-taken local: stored below the return address on entry,
// compared on the way out.
std::uintptr_t __stack_chk_guard = static_cast<std::uintptr_t>(kUnseeded);

// A guard overwritten: the stack is no longer to be trusted, so nothing more of
// the program runs, no handler and no unwinding. 0xC0000409 is the status
// Windows reports for a stack buffer overrun.
[[noreturn]] void __stack_chk_fail() {
  TerminateProcess(GetCurrentProcess(), 0xC0000409);
  __builtin_trap();
}

}  // extern "C"

namespace {

// Runs before any other constructor and before wWinMain, from the C runtime's
// start-up code, which has no guard: no function that checks the guard is in
// progress while it changes. It has none itself (no_stack_protector).
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
  VARNELO_TRACE("process and DLLs loaded");
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  std::uint64_t seed = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  seed = Mix(seed ^ ((std::uint64_t{GetCurrentProcessId()} << 32) | GetCurrentThreadId()));
  seed = Mix(seed ^ __builtin_ia32_rdtsc());
  seed = Mix(seed ^ reinterpret_cast<std::uintptr_t>(&now));
  auto guard = static_cast<std::uintptr_t>(seed);  // the low 32 bits on i686
  if (guard == static_cast<std::uintptr_t>(kUnseeded)) ++guard;
  __stack_chk_guard = guard;
  VARNELO_TRACE("stack guard seeded");
}

}  // namespace
