// What the test support for HKEY_CURRENT_USER does its own way on the
// in-memory registry.
#include "support/hive.h"

#include "memreg.h"

namespace testing_support {

std::optional<std::size_t> OpenKeyCount() { return memreg::OpenKeyCount(); }

void Hive::RefuseRights(const std::string& path, REGSAM rights) {
  Require(memreg::RefuseRights(HKEY_CURRENT_USER, path, rights), "refusing rights on " + path);
}

void Hive::CreateKeyNamed(const std::string& parent, const std::string& utf8Name) {
  CreateKey(parent);
  Require(memreg::CreateKeyByUnicodeName(HKEY_CURRENT_USER, parent, utf8Name),
          "creating a key below " + parent);
}

}  // namespace testing_support
