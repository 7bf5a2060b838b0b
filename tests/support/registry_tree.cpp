#include "support/registry_tree.h"

#include "registry/scoped_key.h"
#include "support/registry_rules.h"

#include <array>
#include <cstdio>

namespace testing_support {
namespace {

using registry_rules::Fold;

std::string Join(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "\\" + name;
}

// One buffer for the names and one for the data of every value of a
// snapshot; the data buffer grows to the largest value met.
struct Buffers {
  std::vector<char> name = std::vector<char>(32768);  // a value name has at most 16383
  std::vector<BYTE> data = std::vector<BYTE>(4096);
};

std::map<std::string, Value> Values(HKEY key, Buffers& buffers) {
  std::map<std::string, Value> values;
  for (DWORD index = 0;;) {
    auto nameSize = static_cast<DWORD>(buffers.name.size());
    auto dataSize = static_cast<DWORD>(buffers.data.size());
    DWORD type = 0;
    const LSTATUS status = RegEnumValueA(key, index, buffers.name.data(), &nameSize, nullptr, &type,
                                         buffers.data.data(), &dataSize);
    if (status == ERROR_MORE_DATA && buffers.data.size() < (std::size_t{1} << 26)) {
      buffers.data.resize(std::max<std::size_t>(dataSize, 2 * buffers.data.size()));
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    Value value{std::string(buffers.name.data(), nameSize),
                {type, std::vector<BYTE>(buffers.data.data(), buffers.data.data() + dataSize)}};
    values[Fold(value.name)] = std::move(value);
    ++index;
  }
  return values;
}

void Visit(HKEY parent, const std::string& name, const std::string& path, Buffers& buffers,
           Tree& tree) {
  Key key;
  key.path = path;
  Reg::ScopedKey listing;
  key.subkeysHidden = RegOpenKeyExA(parent, name.c_str(), 0, KEY_ENUMERATE_SUB_KEYS,
                                    listing.receive()) != ERROR_SUCCESS;
  if (!key.subkeysHidden) key.children = SubkeyNames(listing.get());
  Reg::ScopedKey values;
  key.valuesHidden =
      RegOpenKeyExA(parent, name.c_str(), 0, KEY_QUERY_VALUE, values.receive()) != ERROR_SUCCESS;
  if (!key.valuesHidden) key.values = Values(values.get(), buffers);

  const std::vector<std::string> children = key.children;
  tree[Fold(path)] = std::move(key);
  for (const auto& child : children) Visit(listing.get(), child, Join(path, child), buffers, tree);
}

std::string Header(const Key& key) {
  std::string out = "[" + key.path + "]";
  if (key.valuesHidden) out += " (values hidden)";
  if (key.subkeysHidden) out += " (subkeys hidden)";
  return out;
}

std::string Line(char sign, const Key& key, const Value* value = nullptr) {
  std::string out = std::string(1, sign) + " " + Header(key);
  if (value != nullptr) out += "  \"" + value->name + "\" " + Describe(value->raw);
  return out + "\n";
}

bool Bookkeeping(const Key& key) {
  return key.path.starts_with("Software\\Wine\\Temporary System Parameters") ||
         key.path.starts_with("Volatile Environment");
}

// The values of `key` that `other` lacks or holds otherwise, one line each.
std::string ValuesNotIn(char sign, const Key& key, const Key* other) {
  std::string out;
  for (const auto& [folded, value] : key.values) {
    const bool same =
        other != nullptr && other->values.contains(folded) && other->values.at(folded) == value;
    if (!same) out += Line(sign, key, &value);
  }
  return out;
}

}  // namespace

std::string Describe(const RawValue& value) {
  std::string out = "type " + std::to_string(value.type) + ":";
  for (const BYTE b : value.data) {
    std::array<char, 4> cell{};
    std::snprintf(cell.data(), cell.size(), " %02X", b);
    out += cell.data();
  }
  return out;
}

std::vector<BYTE> Bytes(std::initializer_list<int> bytes) {
  std::vector<BYTE> out;
  for (const int b : bytes) out.push_back(static_cast<BYTE>(b));
  return out;
}

std::vector<BYTE> Le32(std::uint32_t value) {
  return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
          static_cast<BYTE>(value >> 24)};
}

std::uint32_t FromLe32(const std::vector<BYTE>& data) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size() && i < 4; ++i) value |= std::uint32_t{data[i]} << (8 * i);
  return value;
}

Tree Snapshot(HKEY root) {
  Tree tree;
  Buffers buffers;
  Visit(root, "", "", buffers, tree);
  return tree;
}

std::vector<std::string> SubkeyNames(HKEY key) {
  std::vector<std::string> names;
  std::array<char, 1024> name{};
  for (DWORD index = 0;; ++index) {
    auto size = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(key, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return names;
    }
    names.emplace_back(name.data(), size);
  }
}

std::optional<RawValue> ReadValue(HKEY root, const std::string& path, const std::string& name) {
  Reg::ScopedKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  if (size > 0 && RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.data.data(),
                                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

Key* MakeKey(Tree& tree, const std::string& path) {
  std::vector<std::string> names;
  if (registry_rules::SplitKeyPath(path, names) != ERROR_SUCCESS) return nullptr;
  Key* key = &tree[""];
  std::string folded;
  for (const auto& name : names) {
    if (key->subkeysHidden) return nullptr;
    folded = Join(folded, Fold(name));
    const auto [child, made] = tree.try_emplace(folded);
    if (made) {
      child->second.path = Join(key->path, name);
      key->children.push_back(name);
    }
    key = &child->second;
  }
  return key;
}

void SetValue(Tree& tree, const std::string& path, const std::string& name, RawValue raw) {
  Key* key = MakeKey(tree, path);
  if (key == nullptr) return;
  const auto [value, made] = key->values.try_emplace(Fold(name), Value{name, {}});
  value->second.raw = std::move(raw);
}

std::string Changes(const Tree& before, const Tree& after) {
  std::string out;
  for (const auto& [folded, key] : before) {
    if (!Bookkeeping(key) && !after.contains(folded))
      out += Line('-', key) + ValuesNotIn('-', key, nullptr);
  }
  for (const auto& [folded, key] : after) {
    if (Bookkeeping(key)) continue;
    const auto found = before.find(folded);
    if (found == before.end()) {
      out += Line('+', key) + ValuesNotIn('+', key, nullptr);
      continue;
    }
    const Key& was = found->second;
    if (Header(was) != Header(key)) out += Line('-', was) + Line('+', key);
    out += ValuesNotIn('-', was, &key) + ValuesNotIn('+', key, &was);
  }
  return out;
}

}  // namespace testing_support
