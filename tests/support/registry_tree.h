// A registry tree as the tests see it: every key and value below a root, read
// through the plain registry calls; values packed as the Messenger clients
// store them; what differs between two such trees. The registry suites, the
// end-to-end tests, the fuzzer and the benchmark driver all read the registry
// through this, so it uses no GoogleTest.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct RawValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RawValue&) const = default;
};

// "type 3: 00 00 FF 00", as a report shows a value.
std::string Describe(const RawValue& value);

std::vector<BYTE> Bytes(std::initializer_list<int> bytes);
// 4 bytes, least significant first: how "IM Color" holds a colour.
std::vector<BYTE> Le32(std::uint32_t value);
// The number that up to 4 bytes stand for, least significant first.
std::uint32_t FromLe32(const std::vector<BYTE>& data);

struct Value {
  std::string name;  // as first set
  RawValue raw;
  bool operator==(const Value&) const = default;
};

struct Key {
  std::string path;                     // as the registry spells it; "" is the root
  bool valuesHidden = false;            // KEY_QUERY_VALUE refused
  bool subkeysHidden = false;           // KEY_ENUMERATE_SUB_KEYS refused
  std::vector<std::string> children;    // names in enumeration order
  std::map<std::string, Value> values;  // by folded name
};

// Every key that can be seen below a root, by folded path.
using Tree = std::map<std::string, Key>;

// Reads the whole tree below `root`, opening each key relative to its
// parent, so that keys whose full path is too long for the A functions are
// seen too.
Tree Snapshot(HKEY root);

// The names of the subkeys of an open key, in enumeration order.
std::vector<std::string> SubkeyNames(HKEY key);

// The value `name` under `path`, if both are there and can be read.
std::optional<RawValue> ReadValue(HKEY root, const std::string& path, const std::string& name);

// The key a path names in `tree`, made (with every missing key above it,
// spelled as given) if missing; nullptr where a key above hides its subkeys,
// as nothing below it can be seen, or where the registry refuses the path.
Key* MakeKey(Tree& tree, const std::string& path);

// Sets a value in `tree` as the registry stores it: the first spelling of
// its name stays. The key is made as MakeKey makes it.
void SetValue(Tree& tree, const std::string& path, const std::string& name, RawValue raw);

// What differs between two trees, one "- " or "+ " line per key and value,
// or nothing. The order subkeys are listed in is not compared. Wine's own
// volatile bookkeeping, which changes whenever a process starts
// ("Software\Wine\Temporary System Parameters", "Volatile Environment"), is
// left out: no program of ours touches it.
std::string Changes(const Tree& before, const Tree& after);

}  // namespace testing_support
