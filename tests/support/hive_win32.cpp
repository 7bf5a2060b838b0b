// What the test support for HKEY_CURRENT_USER does its own way on the real
// registry.
#include "support/hive.h"

#include "registry/scoped_key.h"

#include <aclapi.h>

#include <string>

namespace testing_support {

void Hive::RefuseRights(const std::string& path, REGSAM rights) {
  Reg::ScopedKey key;
  Require(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, READ_CONTROL | WRITE_DAC,
                        key.receive()) == ERROR_SUCCESS,
          "opening " + path + " to refuse rights");
  // A DACL that grants everything but `rights` to everyone.
  char everyoneName[] = "EVERYONE";
  EXPLICIT_ACCESSA entries[2]{};
  BuildExplicitAccessWithNameA(&entries[0], everyoneName, rights, DENY_ACCESS, NO_INHERITANCE);
  BuildExplicitAccessWithNameA(&entries[1], everyoneName, KEY_ALL_ACCESS, GRANT_ACCESS,
                               NO_INHERITANCE);
  PACL acl = nullptr;
  Require(SetEntriesInAclA(2, entries, nullptr, &acl) == ERROR_SUCCESS, "making a DACL");
  const DWORD status = SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                       nullptr, nullptr, acl, nullptr);
  LocalFree(acl);
  Require(status == ERROR_SUCCESS, "refusing rights on " + path);
}

void Hive::CreateKeyNamed(const std::string& parent, const std::string& utf8Name) {
  const std::string path = parent + "\\" + utf8Name;
  std::wstring wide(path.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  Reg::ScopedKey key;
  Require(RegCreateKeyExW(HKEY_CURRENT_USER, wide.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key.receive(), nullptr) == ERROR_SUCCESS,
          "creating " + path);
}

std::optional<std::size_t> OpenKeyCount() { return std::nullopt; }

}  // namespace testing_support
