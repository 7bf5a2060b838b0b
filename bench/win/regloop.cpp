// The floor: the registry calls that varnelo.exe makes for its account keys,
// and nothing else. Same calls, same access masks, same key paths (each one
// opened from HKEY_CURRENT_USER by its full path), same 8-bit functions:
//
//   bench_regloop read    what start-up does: read "IM Color" under the two
//                         Messenger keys, list the account keys, then open,
//                         query and close each one
//   bench_regloop write   what one apply does: list the account keys, read
//                         the MSN Messenger value, read what it is about to
//                         overwrite for 元に戻す (open each account key to
//                         query, ask the Unicode call for the value's size,
//                         then its bytes, close), then open, set (4 bytes
//                         REG_BINARY) and close each account key
//
// After the work it writes "<account keys> <values found> <microseconds>" to
// standard output: the time of the work alone, without process start-up.
#include "registry/scoped_key.h"

#include <windows.h>

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

// A value as 元に戻す keeps it: its size, then its bytes, whatever they are.
bool ReadExactly(const std::string& path) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), L"IM Color", nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<BYTE> bytes(size);
  return RegQueryValueExW(key.get(), L"IM Color", nullptr, &type, bytes.data(), &size) ==
         ERROR_SUCCESS;
}

// Account keys, as varnelo.exe writes them: opened, never created.
bool WriteValue(const std::string& path) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, kKeyRights, key.receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.get(), kValueName, 0, REG_BINARY, kColor.data(),
                        static_cast<DWORD>(kColor.size())) == ERROR_SUCCESS;
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
  const bool write = argc > 1 && std::strcmp(argv[1], "write") == 0;
  if (argc < 2 || (!write && std::strcmp(argv[1], "read") != 0)) {
    std::fputs("usage: bench_regloop read|write\n", stderr);
    return 2;
  }

  LARGE_INTEGER frequency{};
  LARGE_INTEGER start{};
  LARGE_INTEGER stop{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);

  std::size_t found = 0;  // values read, or values written
  std::vector<std::string> accounts;
  if (write) {
    accounts = ListAccounts();
    if (ReadValue(kMsnKeyPath)) ++found;
    for (const auto& account : accounts) ReadExactly(kPassportKeyPrefix + account);
    for (const auto& account : accounts) {
      if (WriteValue(kPassportKeyPrefix + account)) ++found;
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
  std::printf("%zu %zu %lld\n", accounts.size(), found, micros);
  std::fflush(stdout);
  return 0;
}
