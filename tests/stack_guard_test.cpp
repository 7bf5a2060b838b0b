// The exe's stack protector (app/stack_guard.cpp, this program compiled with
// -fstack-protector-strong as the exe is): the guard is seeded before main, and
// a function that overwrote it ends the process with STATUS_STACK_BUFFER_OVERRUN
// instead of returning.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

volatile std::size_t copied = 64;  // into 16 bytes; volatile, so no compiler sees the overrun

__attribute__((noinline)) int CopyPastTheEnd() {
  static const char kText[64] = "sixty-four bytes of text, far more than the buffer has room for";
  char buffer[16];
  std::memcpy(buffer, kText, copied);
  return buffer[0];
}

TEST(StackGuard, IsSeededBeforeMain) {
  EXPECT_NE(__stack_chk_guard, static_cast<std::uintptr_t>(0x2B992DDFA232ULL));  // the unseeded value
  EXPECT_NE(__stack_chk_guard, 0u);
}

TEST(StackGuardDeathTest, OverwrittenGuardEndsTheProcessBeforeTheFunctionReturns) {
  EXPECT_EXIT(
      {
        std::fprintf(stderr, "returned %d", CopyPastTheEnd());
        std::exit(0);
      },
      ::testing::ExitedWithCode(static_cast<int>(0xC0000409)), "^$");
}

}  // namespace
