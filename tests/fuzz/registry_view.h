// What the fuzzer knows about HKEY_CURRENT_USER: a snapshot of the whole
// tree taken through the registry calls, and an oracle that says, from such
// a snapshot alone, what each Reg routine must return and how the tree must
// look after it. The oracle is written from the routines' contracts and the
// platform's rules (support/registry_rules.h), not from the routines' code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "registry/reg.h"
#include "support/registry_rules.h"

namespace fuzz {

// What ReadRegValue and WriteRegValue ask for when they open a key: every
// right a key can refuse.
inline constexpr REGSAM kRoutineAccess = registry_rules::kKeyRights;
inline constexpr std::size_t kNameBuffer = 256;  // EnumRegSubKeys' buffer, with its zero

using registry_rules::Fold;

struct ValueView {
  std::string name;  // as first set
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const ValueView&) const = default;
};

struct KeyView {
  std::string path;                         // as the registry spells it; "" is the root
  bool valuesHidden = false;                // KEY_QUERY_VALUE refused
  bool subkeysHidden = false;               // KEY_ENUMERATE_SUB_KEYS refused
  std::vector<std::string> children;        // names in enumeration order
  std::map<std::string, ValueView> values;  // by folded name
};

// Every key that can be seen, by folded path.
using TreeView = std::map<std::string, KeyView>;

// Rights refused per key (folded path), as the fuzzer set them.
using Refusals = std::map<std::string, REGSAM>;

// Walks the whole tree from HKEY_CURRENT_USER, opening each key relative to
// its parent, so that keys whose full path is too long for the A functions
// are seen too.
TreeView Snapshot();

// Equal trees: same keys, same values; the order children are listed in is
// not compared (the oracle cannot know where a new key lands).
bool SameTree(const TreeView& expected, const TreeView& actual, std::string* difference);

// The key a path names (one trailing backslash allowed), when it can be
// opened with `access`; nullopt for a path too long, an empty or too long
// name, a missing key or a refused right.
std::optional<std::string> OpenablePath(const TreeView& view, const Refusals& refusals,
                                        const std::string& path, REGSAM access);

// What ReadRegValue(HKCU, path, name, kind, defaultValue) must return.
Reg::RegData ExpectedRead(const TreeView& view, const Refusals& refusals, const std::string& path,
                          const std::string& name, std::int32_t kind,
                          const Reg::RegData& defaultValue);

// The names EnumRegSubKeys(HKCU, path, ...) must find, in order; empty when
// the key cannot be listed.
std::vector<std::string> ExpectedListing(const TreeView& view, const Refusals& refusals,
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
bool ExpectWrite(TreeView& view, const Refusals& refusals, const std::string& path,
                 const std::string& name, std::int32_t kind, const Reg::RegData& value,
                 SetCalls& sets);

// The 32-bit integer a decimal text stands for: an optional "-", then
// digits only, within range; nullopt otherwise.
std::optional<std::int32_t> DecimalToInt32(const std::string& text);

}  // namespace fuzz
