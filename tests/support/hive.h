// A scratch HKEY_CURRENT_USER for one test, the same on both sides:
// natively the in-memory registry, emptied; under Wine a fresh key that
// HKEY_CURRENT_USER is redirected to for this process (RegOverridePredefKey),
// deleted again afterwards. Set-up failures stop the test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct RawValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RawValue&) const = default;
};

class ScratchHive {
 public:
  ScratchHive();
  ~ScratchHive();
  ScratchHive(const ScratchHive&) = delete;
  ScratchHive& operator=(const ScratchHive&) = delete;

  void CreateKey(const std::string& path);
  void SetRaw(const std::string& path, const std::string& name, DWORD type,
              std::vector<BYTE> data);
  void SetText(const std::string& path, const std::string& name, const std::string& text);
  void DeleteKey(const std::string& path);
  void DeleteValue(const std::string& path, const std::string& name);
  bool KeyExists(const std::string& path) const;
  std::optional<RawValue> GetRaw(const std::string& path, const std::string& name) const;

  // Refuses the given KEY_* rights on an existing key to this user.
  void RefuseRights(const std::string& path, REGSAM rights);

  // Keys opened and not closed since the hive was made, where that can be
  // seen (the in-memory registry); nullopt on Windows.
  std::optional<std::size_t> OpenKeys() const;

  // The whole tree below HKEY_CURRENT_USER, one line per key and per value.
  std::string Dump() const;
};

std::vector<BYTE> Bytes(std::initializer_list<int> bytes);
std::vector<BYTE> Le32(std::uint32_t value);

}  // namespace testing_support
