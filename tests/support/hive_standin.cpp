// What the test support for HKEY_CURRENT_USER does its own way on the
// in-memory registry.
#include "support/hive.h"

#include "memreg.h"

namespace testing_support {

std::optional<std::size_t> OpenKeyCount() { return memreg::OpenKeyCount(); }

void Hive::RefuseRights(const std::string& path, REGSAM rights) {
  ASSERT_TRUE(memreg::RefuseRights(HKEY_CURRENT_USER, path, rights)) << path;
}

}  // namespace testing_support
