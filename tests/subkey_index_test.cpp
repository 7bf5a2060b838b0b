// Listing subkeys by index while the key changes. Builds twice, like the
// registry suite: natively (where the in-memory registry keeps an index of
// each key's subkeys that must follow every change) and under Wine.
#include "registry/scoped_key.h"
#include "support/hive.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using SubkeyIndexTest = testing_support::FreshHkcuTest;

constexpr char kParent[] = "Software\\VarneloProbe";

std::string Child(const char* name) { return std::string(kParent) + "\\" + name; }

// The names at `first` and at each index after it, then the status that
// ended the listing ("status 259": no more).
std::string NamesFrom(HKEY key, DWORD first = 0) {
  std::string names;
  for (DWORD index = first; index < 100; ++index) {
    std::array<char, 256> name{};
    DWORD size = static_cast<DWORD>(name.size());
    const LSTATUS status =
        RegEnumKeyExA(key, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return names + "status " + std::to_string(status);
    names += std::string(name.data()) + " ";
  }
  return names + "no end";
}

TEST_F(SubkeyIndexTest, EachIndexNamesTheSubkeyAtThatPlaceNowWhileKeysComeAndGo) {
  hive.CreateKey(Child("b"));
  hive.CreateKey(Child("D"));

  Reg::ScopedKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kParent, 0, KEY_ENUMERATE_SUB_KEYS, key.receive()),
            ERROR_SUCCESS);
  EXPECT_EQ(NamesFrom(key.get()), "b D status 259");

  // Added after the listing began: one sorts first, one in the middle.
  hive.CreateKey(Child("A"));
  hive.CreateKey(Child("c"));
  EXPECT_EQ(NamesFrom(key.get()), "A b c D status 259");

  hive.DeleteKey(Child("b"));
  EXPECT_EQ(NamesFrom(key.get(), 1), "c D status 259");

  // A value or a key further down is no new subkey.
  hive.SetRaw(kParent, "IM Color", REG_BINARY, testing_support::Le32(255));
  hive.CreateKey(Child("c\\below"));
  EXPECT_EQ(NamesFrom(key.get(), 2), "D status 259");
}

}  // namespace
