// Test access to HKEY_CURRENT_USER through the plain registry calls, the same
// on both sides (the in-memory registry natively, the real one under Wine).
// Hive works on HKEY_CURRENT_USER as it is (in end-to-end tests: the
// throwaway Wine prefix's); FreshHkcuTest gives each test an empty one.
#pragma once

#include "support/messenger.h"
#include "support/registry_tree.h"
#include "support/require.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace testing_support {

// How GoogleTest shows a value in a failure: "type 3: 00 00 FF 00".
void PrintTo(const RawValue& value, std::ostream* out);

class Hive {
 public:
  void CreateKey(const std::string& path);
  // For names that would make the whole path too long for the A functions;
  // with "IM Color" set in it to `colour` where one is given.
  void CreateKeyBelow(const std::string& parent, const std::string& name,
                      const std::optional<RawValue>& colour = std::nullopt);
  // A subkey of `parent` named by its Unicode name (given in UTF-8), which
  // the 8-bit functions may not be able to spell.
  void CreateKeyNamed(const std::string& parent, const std::string& utf8Name);
  void SetRaw(const std::string& path, const std::string& name, DWORD type, std::vector<BYTE> data);
  void SetText(const std::string& path, const std::string& name, const std::string& text);
  // Stores a colour as the Messenger clients do: "IM Color", 4 bytes of
  // REG_BINARY, least significant first.
  template <typename Colour>
  void SetColor(const std::string& path, Colour colour) {
    SetRaw(path, messenger::kValue, REG_BINARY, Le32(static_cast<std::uint32_t>(colour)));
  }
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

// A test whose HKEY_CURRENT_USER is an empty key of its own. SetUp makes a
// scratch key below the real HKEY_CURRENT_USER and redirects
// HKEY_CURRENT_USER to it for this process (RegOverridePredefKey, which the
// stand-in has too); TearDown puts HKEY_CURRENT_USER back and deletes the
// scratch key (under Wine, not one whose listing the test refused: that one
// stays behind, under a name no later test uses). If the scratch key cannot
// be made or redirected to, SetUp fails and the test does not run, so it
// never touches the real HKEY_CURRENT_USER. Where the registry can tell (the
// stand-in), a test that left a key open fails.
class FreshHkcuTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Hive hive;

 private:
  std::string scratchPath_;
  bool redirected_ = false;
  std::optional<std::size_t> openAtStart_;
};

// Keys open now, where the registry can tell (the stand-in); nullopt on Windows.
std::optional<std::size_t> OpenKeyCount();

// Removes both Messenger keys, and the account keys with them.
void ClearMessenger(Hive& hive);

}  // namespace testing_support
