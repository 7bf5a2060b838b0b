// What the test support for HKEY_CURRENT_USER does its own way on the
// in-memory registry.
#include "support/hive.h"

#include "memreg.h"

namespace testing_support {

std::optional<std::size_t> OpenKeyCount() { return memreg::OpenKeyCount(); }

void Hive::RefuseRights(const std::string& path, REGSAM rights) {
  ASSERT_TRUE(memreg::RefuseRights(HKEY_CURRENT_USER, path, rights)) << path;
}

void Hive::CreateKeyNamed(const std::string& parent, const std::string& utf8Name) {
  CreateKey(parent);
  ASSERT_TRUE(memreg::CreateKeyOutsideCodePage(HKEY_CURRENT_USER, parent, utf8Name)) << parent;
}

}  // namespace testing_support
