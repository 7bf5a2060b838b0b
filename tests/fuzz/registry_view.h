// The fuzzer's oracle: from a snapshot of HKEY_CURRENT_USER alone
// (support/registry_tree.h), what each Reg routine must return and how the
// tree must look after it. The oracle is written from the routines'
// contracts and the platform's rules (support/registry_rules.h), not from
// the routines' code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "registry/reg.h"
#include "support/registry_rules.h"
#include "support/registry_tree.h"

namespace fuzz {

// What ReadRegValue and WriteRegValue ask for when they open a key: every
// right a key can refuse.
inline constexpr REGSAM kRoutineAccess = registry_rules::kKeyRights;
inline constexpr std::size_t kNameBuffer = 256;  // EnumRegSubKeys' buffer, with its zero

using registry_rules::Fold;

using testing_support::Tree;

// Rights refused per key (folded path), as the fuzzer set them.
using Refusals = std::map<std::string, REGSAM>;

// The key a path names (one trailing backslash allowed), when it can be
// opened with `access`; nullopt for a path too long, an empty or too long
// name, a missing key or a refused right.
std::optional<std::string> OpenablePath(const Tree& view, const Refusals& refusals,
                                        const std::string& path, REGSAM access);

// What ReadRegValue(HKCU, path, name, kind, defaultValue) must return.
Reg::RegData ExpectedRead(const Tree& view, const Refusals& refusals, const std::string& path,
                          const std::string& name, std::int32_t kind,
                          const Reg::RegData& defaultValue);

// The names EnumRegSubKeys(HKCU, path, ...) must find, in order; empty when
// the key cannot be listed.
std::vector<std::string> ExpectedListing(const Tree& view, const Refusals& refusals,
                                         const std::string& path);

// Counts the set calls that reach the registry, to predict which one a
// scripted failure (memreg::FailSetValueAt) hits.
struct SetCalls {
  std::size_t made = 0;
  std::optional<std::size_t> failing;  // 0-based index among those made from now
};

// Applies to `view` what WriteRegValue(HKCU, path, name, kind, value) must
// do, and returns what it must return. Keys created below a key whose
// subkeys cannot be listed are left out of `view`, as a snapshot would.
bool ExpectWrite(Tree& view, const Refusals& refusals, const std::string& path,
                 const std::string& name, std::int32_t kind, const Reg::RegData& value,
                 SetCalls& sets);

// The 32-bit integer a decimal text stands for: an optional "-", then
// digits only, within range; nullopt otherwise.
std::optional<std::int32_t> DecimalToInt32(const std::string& text);

}  // namespace fuzz
