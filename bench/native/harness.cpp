// Runs Form1's start-up, apply and undo handlers against the in-memory
// registry with N account keys, for counting their instructions under
// callgrind:
//
//   valgrind --tool=callgrind --toggle-collect=varnelo_bench_form_load bench_native N
//
// counts Form_Load alone; --toggle-collect=varnelo_bench_apply counts one
// Command3_Click, varnelo_bench_undo the Undo_Click after it. Seeding the
// registry and checking the results are not counted. The registry is seeded
// as the Wine benchmark seeds it: neither Messenger key has a value and only
// the last account key (in listing order) holds one, so Form_Load reads every
// account key, Command3_Click writes every one (creating the value under all
// but the last: one step of N - 1 locations) and Undo_Click deletes those
// N - 1 values again.
//
// Exits non-zero when the handlers did not do that work, so a count is never
// taken of a run that went wrong.
#include "app/form1.h"
#include "registry/scoped_key.h"
#include "support/recording_toolkit.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr varnelo::ColorValue kSeedColor = 0x00FF00;  // green, on the last account key
const std::array<BYTE, 4> kSeedBytes{0x00, 0xFF, 0x00, 0x00};

std::string AccountKey(long index) {
  // Ten digits, so listing order (sorted by name) is numeric order.
  return varnelo::AccountKeyPath(std::to_string(1000000000L + index));
}

bool Seed(long count) {
  for (long i = 0; i < count; ++i) {
    Reg::ScopedKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, AccountKey(i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
      return false;
    }
    if (i == count - 1 &&
        RegSetValueExA(key.get(), varnelo::kColorValueName, 0, REG_BINARY, kSeedBytes.data(),
                       static_cast<DWORD>(kSeedBytes.size())) != ERROR_SUCCESS) {
      return false;
    }
  }
  return true;
}

bool HoldsSeedColor(long index) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, AccountKey(index).c_str(), 0, KEY_QUERY_VALUE,
                    key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  std::array<BYTE, 8> data{};
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(data.size());
  return RegQueryValueExA(key.get(), varnelo::kColorValueName, nullptr, &type, data.data(),
                          &size) == ERROR_SUCCESS &&
         type == REG_BINARY && size == 4 &&
         std::equal(kSeedBytes.begin(), kSeedBytes.end(), data.begin());
}

}  // namespace

// The measured calls: named, not inlined, so callgrind can switch on them.
extern "C" __attribute__((noinline)) void varnelo_bench_form_load(varnelo::Form1& form) {
  form.Form_Load();
}
extern "C" __attribute__((noinline)) void varnelo_bench_apply(varnelo::Form1& form) {
  form.Command3_Click();
}
extern "C" __attribute__((noinline)) void varnelo_bench_undo(varnelo::Form1& form) {
  form.Undo_Click();
}

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (count < 1) {
    std::fprintf(stderr, "usage: %s N   (N >= 1 account keys)\n", argv[0]);
    return 2;
  }
  if (!Seed(count)) {
    std::fprintf(stderr, "bench_native: seeding %ld account keys failed\n", count);
    return 1;
  }

  testing_support::RecordingToolkit toolkit;
  varnelo::Form1 form(toolkit);

  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  varnelo_bench_form_load(form);
  const auto t1 = Clock::now();
  if (toolkit.ended || form.PassportCount() != count ||
      toolkit.LabelForeColor(varnelo::LabelId::ColorT1) != kSeedColor ||
      (count > 1 && HoldsSeedColor(0))) {
    std::fprintf(stderr, "bench_native: Form_Load did not read the %ld account keys\n", count);
    return 1;
  }

  varnelo_bench_apply(form);
  const auto t2 = Clock::now();
  if (form.PassportCount() != count || !HoldsSeedColor(0) || !HoldsSeedColor(count / 2)) {
    std::fprintf(stderr, "bench_native: Command3_Click did not write the %ld account keys\n",
                 count);
    return 1;
  }

  varnelo_bench_undo(form);
  const auto t3 = Clock::now();
  if (count > 1 && (form.CanUndo() || HoldsSeedColor(0) || HoldsSeedColor((count - 1) / 2) ||
                    !HoldsSeedColor(count - 1))) {
    std::fprintf(stderr, "bench_native: Undo_Click did not put back the %ld account keys\n",
                 count - 1);
    return 1;
  }

  const auto ms = [](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
  };
  std::printf("N=%ld form_load_ms=%.3f apply_ms=%.3f undo_ms=%.3f\n", count, ms(t1 - t0),
              ms(t2 - t1), ms(t3 - t2));
  return 0;
}
