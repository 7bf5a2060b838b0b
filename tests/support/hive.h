// Test access to HKEY_CURRENT_USER through the plain registry calls, the same
// on both sides. Hive works on HKEY_CURRENT_USER as it is (in end-to-end
// tests: the throwaway Wine prefix's); ScratchHive first makes it a fresh,
// empty one for one test: natively the in-memory registry, emptied; under
// Wine a new key that HKEY_CURRENT_USER is redirected to for this process
// (RegOverridePredefKey), deleted again afterwards.
#pragma once

#include "support/registry_tree.h"

#include <windows.h>

#include <iosfwd>
#include <optional>
#include <string>

namespace testing_support {

// How GoogleTest shows a value in a failure: "type 3: 00 00 FF 00".
void PrintTo(const RawValue& value, std::ostream* out);

class Hive {
 public:
  void CreateKey(const std::string& path);
  // For names that would make the whole path too long for the A functions.
  void CreateKeyBelow(const std::string& parent, const std::string& name);
  void SetRaw(const std::string& path, const std::string& name, DWORD type, std::vector<BYTE> data);
  void SetText(const std::string& path, const std::string& name, const std::string& text);
  void DeleteKey(const std::string& path);
  void DeleteValue(const std::string& path, const std::string& name);
  bool KeyExists(const std::string& path) const;
  std::optional<RawValue> GetRaw(const std::string& path, const std::string& name) const {
    return ReadValue(HKEY_CURRENT_USER, path, name);
  }

  // The whole tree below HKEY_CURRENT_USER, and what differs from it now.
  Tree Snapshot() const { return testing_support::Snapshot(HKEY_CURRENT_USER); }
  std::string ChangesSince(const Tree& before) const { return Changes(before, Snapshot()); }

  // Refuses the given KEY_* rights on an existing key to this user.
  void RefuseRights(const std::string& path, REGSAM rights);
};

class ScratchHive : public Hive {
 public:
  ScratchHive();
  ~ScratchHive();
  ScratchHive(const ScratchHive&) = delete;
  ScratchHive& operator=(const ScratchHive&) = delete;

  // Keys opened and not closed since the hive was made, where that can be
  // seen (the in-memory registry); nullopt on Windows.
  std::optional<std::size_t> OpenKeys() const;
};

// Where the Messenger clients keep the colour, spelled out here on their own
// (not taken from the program), so a wrong path on either side shows.
namespace messenger {
inline constexpr char kMsn[] = "Software\\Microsoft\\MSNMessenger";
inline constexpr char kService[] = "Software\\Microsoft\\MessengerService";
inline constexpr char kAccounts[] = "Software\\Microsoft\\MSNMessenger\\PerPassportSettings";
inline constexpr char kValue[] = "IM Color";
inline std::string Account(const std::string& name) { return std::string(kAccounts) + "\\" + name; }
}  // namespace messenger

}  // namespace testing_support
