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

// The name at `index`, or "status N" when there is none.
std::string NameAt(HKEY key, DWORD index) {
  std::array<char, 256> name{};
  DWORD size = static_cast<DWORD>(name.size());
  const LSTATUS status =
      RegEnumKeyExA(key, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return "status " + std::to_string(status);
  return name.data();
}

TEST_F(SubkeyIndexTest, EachIndexNamesTheSubkeyAtThatPlaceNowWhileKeysComeAndGo) {
  hive.CreateKey(Child("b"));
  hive.CreateKey(Child("D"));

  Reg::ScopedKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kParent, 0, KEY_ENUMERATE_SUB_KEYS, key.receive()),
            ERROR_SUCCESS);
  EXPECT_EQ(NameAt(key.get(), 0), "b");
  EXPECT_EQ(NameAt(key.get(), 1), "D");
  EXPECT_EQ(NameAt(key.get(), 2), "status 259");

  // Added after the listing began: one sorts first, one in the middle.
  hive.CreateKey(Child("A"));
  hive.CreateKey(Child("c"));
  EXPECT_EQ(NameAt(key.get(), 0), "A");
  EXPECT_EQ(NameAt(key.get(), 1), "b");
  EXPECT_EQ(NameAt(key.get(), 2), "c");
  EXPECT_EQ(NameAt(key.get(), 3), "D");
  EXPECT_EQ(NameAt(key.get(), 4), "status 259");

  hive.DeleteKey(Child("b"));
  EXPECT_EQ(NameAt(key.get(), 1), "c");
  EXPECT_EQ(NameAt(key.get(), 2), "D");
  EXPECT_EQ(NameAt(key.get(), 3), "status 259");

  // A value or a key further down is no new subkey.
  hive.SetRaw(kParent, "IM Color", REG_BINARY, testing_support::Le32(255));
  hive.CreateKey(Child("c\\below"));
  EXPECT_EQ(NameAt(key.get(), 2), "D");
  EXPECT_EQ(NameAt(key.get(), 3), "status 259");
}

}  // namespace
