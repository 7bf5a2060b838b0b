// The floor: the registry calls that varnelo.exe makes for its account keys,
// and nothing else. Same calls, same access masks, same key paths (each one
// opened from HKEY_CURRENT_USER by its full path), the same 8-bit or Unicode
// function for each call:
//
//   bench_regloop read    what start-up does: read "IM Color" under the two
//                         Messenger keys, list the account keys, then open,
//                         query and close each one
//   bench_regloop write   what one apply does: list the account keys, read
//                         the MSN Messenger value, then for each account key
//                         open it once (access 0x3F), read what it is about
//                         to overwrite, for 元に戻す (ask the Unicode call for
//                         the value's size and, if there is one, its bytes),
//                         set the colour (4 bytes REG_BINARY) and close it
//   bench_regloop undo    what one 元に戻す does after an apply that created
//                         the value under every account key but the last (at
//                         one key, under that key): for each of those keys
//                         open it once (KEY_QUERY_VALUE | KEY_SET_VALUE), ask
//                         the Unicode call for the value's size and bytes,
//                         and only where they are the 4 bytes of REG_BINARY
//                         that apply wrote delete the value (there was none
//                         before), close it; then read the colour a start-up
//                         would show now: "IM Color" under the two Messenger
//                         keys and, where neither holds one, the account
//                         listing and the account keys from the last back to
//                         the first that holds one. The keys it puts back
//                         are listed before the clock starts (varnelo.exe
//                         holds them in memory)
//
// After the work it writes "<account keys> <values found> <microseconds>" to
// standard output: the time of the work alone, without process start-up.
// Values found: read by start-up, written by apply, deleted by undo.
#include "registry/scoped_key.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr REGSAM kKeyRights = 0x3F;
constexpr char kMsnKeyPath[] = "Software\\Microsoft\\MSNMessenger";
constexpr char kServiceKeyPath[] = "Software\\Microsoft\\MessengerService";
constexpr char kPassportListPath[] = "Software\\Microsoft\\MSNMessenger\\PerPassportSettings";
constexpr char kPassportKeyPrefix[] = "Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\";
constexpr char kValueName[] = "IM Color";
constexpr wchar_t kWideValueName[] = L"IM Color";
// The colour the benchmark's profile holds and varnelo.exe therefore writes.
constexpr std::array<BYTE, 4> kColor{0x00, 0xFF, 0x00, 0x00};

bool ReadValue(const std::string& path) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, kKeyRights, key.receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  std::array<BYTE, 4> bytes{};
  DWORD type = REG_DWORD;
  DWORD size = static_cast<DWORD>(bytes.size());
  return RegQueryValueExA(key.get(), kValueName, nullptr, &type, bytes.data(), &size) ==
         ERROR_SUCCESS;
}

// A value as 元に戻す keeps it, through an open key: its size, then its bytes,
// whatever they are. False where there is none.
bool ReadExactly(HKEY key, DWORD& type, std::vector<BYTE>& bytes) {
  DWORD size = 0;
  if (RegQueryValueExW(key, kWideValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  bytes.assign(size, 0);
  if (RegQueryValueExW(key, kWideValueName, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) {
    return false;
  }
  bytes.resize(size);
  return true;
}

// Account keys, as varnelo.exe writes them: opened, never created; what the
// write replaces is read through the same key first.
bool WriteValue(const std::string& path) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, kKeyRights, key.receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD type = REG_NONE;
  std::vector<BYTE> before;
  ReadExactly(key.get(), type, before);
  return RegSetValueExA(key.get(), kValueName, 0, REG_BINARY, kColor.data(),
                        static_cast<DWORD>(kColor.size())) == ERROR_SUCCESS;
}

// Deletes the value where it is still what apply wrote.
bool PutBack(const std::string& path) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                    key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = REG_NONE;
  std::vector<BYTE> now;
  if (!ReadExactly(key.get(), type, now) || type != REG_BINARY ||
      !std::equal(now.begin(), now.end(), kColor.begin(), kColor.end())) {
    return false;
  }
  return RegDeleteValueW(key.get(), kWideValueName) == ERROR_SUCCESS;
}

std::vector<std::string> ListAccounts() {
  std::vector<std::string> names;
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPassportListPath, 0, KEY_ENUMERATE_SUB_KEYS,
                    key.receive()) != ERROR_SUCCESS) {
    return names;
  }
  for (DWORD index = 0;; ++index) {
    std::array<char, 256> name{};
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD classSize = 0;
    FILETIME lastWrite{};
    if (RegEnumKeyExA(key.get(), index, name.data(), &nameSize, nullptr, nullptr, &classSize,
                      &lastWrite) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name.data());
  }
  return names;
}

}  // namespace

// As in varnelo.exe: no demangling terminate handler (46 KB of the image).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode != "read" && mode != "write" && mode != "undo") {
    std::fputs("usage: bench_regloop read|write|undo\n", stderr);
    return 2;
  }

  // undo: the keys of the step, as varnelo.exe holds them.
  std::vector<std::string> step;
  std::size_t listed = 0;
  if (mode == "undo") {
    for (const auto& account : ListAccounts()) step.push_back(kPassportKeyPrefix + account);
    listed = step.size();
    if (listed > 1) step.pop_back();
  }

  LARGE_INTEGER frequency{};
  LARGE_INTEGER start{};
  LARGE_INTEGER stop{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);

  std::size_t found = 0;
  std::vector<std::string> accounts;
  if (mode == "write") {
    accounts = ListAccounts();
    ReadValue(kMsnKeyPath);
    for (const auto& account : accounts) {
      if (WriteValue(kPassportKeyPrefix + account)) ++found;
    }
  } else if (mode == "undo") {
    for (const auto& path : step) {
      if (PutBack(path)) ++found;
    }
    if (!ReadValue(kMsnKeyPath) && !ReadValue(kServiceKeyPath)) {
      accounts = ListAccounts();
      for (auto account = accounts.rbegin(); account != accounts.rend(); ++account) {
        if (ReadValue(kPassportKeyPrefix + *account)) break;
      }
    }
  } else {
    if (ReadValue(kMsnKeyPath)) ++found;
    if (ReadValue(kServiceKeyPath)) ++found;
    accounts = ListAccounts();
    for (const auto& account : accounts) {
      if (ReadValue(kPassportKeyPrefix + account)) ++found;
    }
  }

  QueryPerformanceCounter(&stop);
  const long long micros = (stop.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
  std::printf("%zu %zu %lld\n", mode == "undo" ? listed : accounts.size(), found, micros);
  std::fflush(stdout);
  return 0;
}
