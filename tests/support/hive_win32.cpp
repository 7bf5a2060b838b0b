// ScratchHive over the real registry: HKEY_CURRENT_USER is redirected, for
// this process only, to a fresh key below the real one.
#include "support/hive.h"

#include "registry/scoped_key.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <string>

namespace testing_support {
namespace {

constexpr char kScratchParent[] = "Software\\VarneloTestScratch";
std::string scratchPath;
int scratchCount = 0;

}  // namespace

ScratchHive::ScratchHive() {
  // Leftovers of crashed runs go first; they hold nothing of value.
  if (scratchCount == 0) RegDeleteTreeA(HKEY_CURRENT_USER, kScratchParent);
  scratchPath = std::string(kScratchParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++scratchCount);
  Reg::ScopedKey scratch;
  const LSTATUS created =
      RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, scratch.receive(), nullptr);
  if (created != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot create the scratch key: " << created;
    return;
  }
  const LSTATUS redirected = RegOverridePredefKey(HKEY_CURRENT_USER, scratch.get());
  if (redirected != ERROR_SUCCESS) ADD_FAILURE() << "cannot redirect HKCU: " << redirected;
}

ScratchHive::~ScratchHive() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, kScratchParent);
}

void Hive::RefuseRights(const std::string& path, REGSAM rights) {
  Reg::ScopedKey key;
  ASSERT_EQ(
      RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, READ_CONTROL | WRITE_DAC, key.receive()),
      ERROR_SUCCESS)
      << path;
  // A DACL that grants everything but `rights` to everyone.
  char everyoneName[] = "EVERYONE";
  EXPLICIT_ACCESSA entries[2]{};
  BuildExplicitAccessWithNameA(&entries[0], everyoneName, rights, DENY_ACCESS, NO_INHERITANCE);
  BuildExplicitAccessWithNameA(&entries[1], everyoneName, KEY_ALL_ACCESS, GRANT_ACCESS,
                               NO_INHERITANCE);
  PACL acl = nullptr;
  ASSERT_EQ(SetEntriesInAclA(2, entries, nullptr, &acl), ERROR_SUCCESS);
  const DWORD status = SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                       nullptr, nullptr, acl, nullptr);
  LocalFree(acl);
  ASSERT_EQ(status, static_cast<DWORD>(ERROR_SUCCESS));
}

std::optional<std::size_t> ScratchHive::OpenKeys() const { return std::nullopt; }

}  // namespace testing_support
