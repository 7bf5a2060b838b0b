// The exe's stack guard (app/win32/stack_guard.cpp; compiled with the exe's
// -fstack-protector-strong): seeded before main, and fatal once overwritten.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

volatile std::size_t copied = 64;  // into 16 bytes, unseen by the compiler

__attribute__((noinline)) int CopyPastTheEnd() {
  static const char kText[64] = "far more text than the buffer below has room for";
  char buffer[16];
  std::memcpy(buffer, kText, copied);
  return buffer[0];
}

TEST(StackGuard, IsSeededBeforeMain) {
  EXPECT_NE(__stack_chk_guard, static_cast<std::uintptr_t>(0x2B992DDFA232ULL));  // unseeded
}

TEST(StackGuardDeathTest, EndsTheProcessBeforeTheDamagedFunctionReturns) {
  EXPECT_EXIT((std::fprintf(stderr, "returned %d", CopyPastTheEnd()), std::exit(0)),
              ::testing::ExitedWithCode(static_cast<int>(0xC0000409)), "^$");
}

}  // namespace
