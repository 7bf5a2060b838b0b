// ScratchHive over the in-memory registry.
#include "support/hive.h"

#include "memreg.h"

#include <gtest/gtest.h>

namespace testing_support {
namespace {
std::size_t openAtStart = 0;
}

ScratchHive::ScratchHive() {
  memreg::Reset();
  openAtStart = memreg::OpenKeyCount();
}

ScratchHive::~ScratchHive() = default;

void Hive::RefuseRights(const std::string& path, REGSAM rights) {
  ASSERT_TRUE(memreg::RefuseRights(HKEY_CURRENT_USER, path, rights)) << path;
}

std::optional<std::size_t> ScratchHive::OpenKeys() const {
  return memreg::OpenKeyCount() - openAtStart;
}

}  // namespace testing_support
