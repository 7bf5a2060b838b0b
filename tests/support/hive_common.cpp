// The parts of the test support for HKEY_CURRENT_USER that are plain registry
// calls, the same on both sides.
#include "support/hive.h"

#include "registry/scoped_key.h"

#include <chrono>
#include <ostream>

namespace testing_support {
namespace {

constexpr char kScratchParent[] = "Software\\VarneloTestScratch";

Reg::ScopedKey Create(const std::string& path) {
  Reg::ScopedKey key;
  const LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                         KEY_ALL_ACCESS, nullptr, key.receive(), nullptr);
  Require(status == ERROR_SUCCESS, "creating " + path + ": " + std::to_string(status));
  return key;
}

}  // namespace

void FreshHkcuTest::SetUp() {
  // Named after the test and the time, so that a key left by an earlier run
  // (a key whose listing a test refused cannot be deleted) is never used again.
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  scratchPath_ = std::string(kScratchParent) + "\\" + test->test_suite_name() + "." + test->name() +
                 "." + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  Reg::ScopedKey scratch;
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, scratch.receive(), nullptr),
      ERROR_SUCCESS)
      << "cannot make the scratch key " << scratchPath_;
  ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch.get()), ERROR_SUCCESS)
      << "cannot redirect HKEY_CURRENT_USER to the scratch key";
  redirected_ = true;
  scratch.reset();
  openAtStart_ = OpenKeyCount();
}

void FreshHkcuTest::TearDown() {
  if (openAtStart_) {
    EXPECT_EQ(OpenKeyCount(), openAtStart_) << "a registry key was left open";
  }
  if (redirected_) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  if (!scratchPath_.empty()) RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
}

void ClearMessenger(Hive& hive) {
  hive.DeleteKey(messenger::kMsn);
  hive.DeleteKey(messenger::kService);
}

void PrintTo(const RawValue& value, std::ostream* out) { *out << Describe(value); }

void Hive::CreateKey(const std::string& path) { Create(path); }

void Hive::CreateKeyBelow(const std::string& parent, const std::string& name,
                          const std::optional<RawValue>& colour) {
  const auto key = Create(parent);
  Reg::ScopedKey child;
  Require(RegCreateKeyExA(key.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          child.receive(), nullptr) == ERROR_SUCCESS,
          "creating " + std::to_string(name.size()) + " characters below " + parent);
  Require(!colour ||
              RegSetValueExA(child.get(), messenger::kValue, 0, colour->type, colour->data.data(),
                             static_cast<DWORD>(colour->data.size())) == ERROR_SUCCESS,
          "setting IM Color below " + parent);
}

void Hive::SetRaw(const std::string& path, const std::string& name, DWORD type,
                  std::vector<BYTE> data) {
  const auto key = Create(path);
  Require(RegSetValueExA(key.get(), name.c_str(), 0, type, data.data(),
                         static_cast<DWORD>(data.size())) == ERROR_SUCCESS,
          "setting " + path + " " + name);
}

void Hive::SetText(const std::string& path, const std::string& name, const std::string& text) {
  std::vector<BYTE> data(text.begin(), text.end());
  data.push_back(0);
  SetRaw(path, name, REG_SZ, std::move(data));
}

void Hive::DeleteKey(const std::string& path) {
  const LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  Require(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND,
          "deleting " + path + ": " + std::to_string(status));
}

void Hive::DeleteValue(const std::string& path, const std::string& name) {
  Reg::ScopedKey key;
  Require(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, key.receive()) ==
                  ERROR_SUCCESS &&
              RegDeleteValueA(key.get(), name.c_str()) == ERROR_SUCCESS,
          "deleting " + path + " " + name);
}

bool Hive::KeyExists(const std::string& path) const {
  Reg::ScopedKey key;
  // Any right at all proves the key is there; a refused right still does.
  const LSTATUS status =
      RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_NOTIFY, key.receive());
  return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

}  // namespace testing_support
