#include "registry_view.h"

#include <algorithm>
#include <cstring>

#include "registry/scoped_key.h"

namespace fuzz {
namespace {

// The registry sees a text up to its first zero byte: the A functions take
// C strings.
std::string AsCString(const std::string& text) { return std::string(text.c_str()); }

// A path cut into its names, or nullopt where the registry refuses it.
std::optional<std::vector<std::string>> Names(const std::string& givenPath) {
  const std::string path = AsCString(givenPath);
  std::vector<std::string> names;
  if (path.size() > registry_rules::kMaxAnsiPath ||
      registry_rules::SplitKeyPath(path, names) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return names;
}

std::string Join(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "\\" + name;
}

REGSAM RefusedAt(const Refusals& refusals, const std::string& foldedPath) {
  const auto found = refusals.find(foldedPath);
  return found == refusals.end() ? 0 : found->second;
}

void Visit(HKEY parent, const std::string& name, const std::string& path, TreeView& view) {
  KeyView key;
  key.path = path;

  Reg::ScopedKey listing;
  const LSTATUS listStatus =
      RegOpenKeyExA(parent, name.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, listing.receive());
  key.subkeysHidden = listStatus != ERROR_SUCCESS;
  if (!key.subkeysHidden) {
    std::vector<char> child(1024);
    for (DWORD index = 0;; ++index) {
      DWORD size = static_cast<DWORD>(child.size());
      if (RegEnumKeyExA(listing.get(), index, child.data(), &size, nullptr, nullptr, nullptr,
                        nullptr) != ERROR_SUCCESS) {
        break;
      }
      key.children.emplace_back(child.data(), size);
    }
  }

  Reg::ScopedKey values;
  key.valuesHidden =
      RegOpenKeyExA(parent, name.c_str(), 0, KEY_QUERY_VALUE, values.receive()) != ERROR_SUCCESS;
  if (!key.valuesHidden) {
    std::vector<char> valueName(32768);
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = static_cast<DWORD>(valueName.size());
      DWORD type = 0;
      DWORD dataSize = 0;
      if (RegEnumValueA(values.get(), index, valueName.data(), &nameSize, nullptr, &type, nullptr,
                        &dataSize) != ERROR_SUCCESS) {
        break;
      }
      ValueView value{std::string(valueName.data(), nameSize), type, std::vector<BYTE>(dataSize)};
      nameSize = static_cast<DWORD>(valueName.size());
      if (RegEnumValueA(values.get(), index, valueName.data(), &nameSize, nullptr, &type,
                        value.data.data(), &dataSize) != ERROR_SUCCESS) {
        break;
      }
      key.values[Fold(value.name)] = std::move(value);
    }
  }

  const std::vector<std::string> children = key.children;
  view[Fold(path)] = std::move(key);
  for (const auto& child : children) Visit(listing.get(), child, Join(path, child), view);
}

std::string Describe(const KeyView& key) {
  std::string out = "[" + key.path + "]";
  if (key.valuesHidden) out += " values hidden";
  if (key.subkeysHidden) out += " subkeys hidden";
  std::vector<std::string> children = key.children;
  std::sort(children.begin(), children.end());
  out += " children:";
  for (const auto& child : children) out += " <" + child + ">";
  for (const auto& [folded, value] : key.values) {
    out += "\n  \"" + value.name + "\" type " + std::to_string(value.type) + " size " +
           std::to_string(value.data.size());
  }
  return out;
}

bool SameKey(const KeyView& a, const KeyView& b) {
  auto folded = [](const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const auto& name : names) out.push_back(Fold(name));
    std::sort(out.begin(), out.end());
    return out;
  };
  return Fold(a.path) == Fold(b.path) && a.valuesHidden == b.valuesHidden &&
         a.subkeysHidden == b.subkeysHidden && folded(a.children) == folded(b.children) &&
         a.values == b.values;
}

}  // namespace

TreeView Snapshot() {
  TreeView view;
  Visit(HKEY_CURRENT_USER, "", "", view);
  return view;
}

bool SameTree(const TreeView& expected, const TreeView& actual, std::string* difference) {
  for (const auto& [path, key] : expected) {
    const auto found = actual.find(path);
    if (found == actual.end()) {
      *difference = "missing " + Describe(key);
      return false;
    }
    if (!SameKey(key, found->second)) {
      *difference = "expected " + Describe(key) + "\nactual   " + Describe(found->second);
      return false;
    }
  }
  for (const auto& [path, key] : actual) {
    if (!expected.contains(path)) {
      *difference = "unexpected " + Describe(key);
      return false;
    }
  }
  return true;
}

std::optional<std::string> OpenablePath(const TreeView& view, const Refusals& refusals,
                                        const std::string& path, REGSAM access) {
  const auto names = Names(path);
  if (!names) return std::nullopt;
  std::string folded;
  for (const auto& name : *names) folded = Join(folded, Fold(name));
  if (!view.contains(folded)) return std::nullopt;
  if (registry_rules::Refuses(RefusedAt(refusals, folded), access)) return std::nullopt;
  return folded;
}

Reg::RegData ExpectedRead(const TreeView& view, const Refusals& refusals, const std::string& path,
                          const std::string& name, std::int32_t kind,
                          const Reg::RegData& defaultValue) {
  const auto key = OpenablePath(view, refusals, path, kRoutineAccess);
  if (!key || (kind != Reg::KindText && kind != Reg::KindNumber)) return defaultValue;
  const auto& values = view.at(*key).values;
  const auto found = values.find(Fold(AsCString(name)));
  if (found == values.end()) return defaultValue;
  const std::vector<BYTE>& data = found->second.data;
  if (kind == Reg::KindNumber) {
    if (data.size() > 4) return defaultValue;
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < data.size(); ++i) number |= std::uint32_t{data[i]} << (8 * i);
    return static_cast<std::int32_t>(number);
  }
  if (data.size() > 256) return defaultValue;
  const auto zero = std::find(data.begin(), data.end(), BYTE{0});
  return std::string(data.begin(), zero);
}

std::vector<std::string> ExpectedListing(const TreeView& view, const Refusals& refusals,
                                         const std::string& path) {
  std::vector<std::string> names;
  const auto key = OpenablePath(view, refusals, path, KEY_ENUMERATE_SUB_KEYS);
  if (!key) return names;
  for (const auto& child : view.at(*key).children) {
    if (child.size() + 1 > kNameBuffer) break;  // the listing ends at a name too long
    names.push_back(child);
  }
  return names;
}

std::optional<std::int32_t> DecimalToInt32(const std::string& text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) i = 1;
  if (i == text.size()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{1} << 31) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool ExpectWrite(TreeView& view, const Refusals& refusals, const std::string& path,
                 const std::string& name, std::int32_t kind, const Reg::RegData& value,
                 SetCalls& sets) {
  std::optional<std::int32_t> number;
  if (kind == Reg::KindBinary || kind == Reg::KindNumber) {
    if (const auto* given = std::get_if<std::int32_t>(&value)) {
      number = *given;
    } else {
      number = DecimalToInt32(std::get<std::string>(value));
    }
    if (!number) return false;  // refused before the registry is touched
  }
  const auto names = Names(path);
  if (!names) return false;

  // The key and every missing key above it are created, whatever rights the
  // keys above refuse. Below a key that hides its subkeys nothing shows.
  std::string folded;
  std::string spelt;
  bool visible = true;
  for (const auto& keyName : *names) {
    const std::string parent = folded;
    folded = Join(folded, Fold(keyName));
    if (visible && view.at(parent).subkeysHidden) visible = false;
    if (!visible) continue;
    const auto existing = view.find(folded);
    if (existing != view.end()) {
      spelt = existing->second.path;
      continue;
    }
    spelt = Join(spelt, keyName);
    view[folded].path = spelt;
    view.at(parent).children.push_back(keyName);
  }
  if (registry_rules::Refuses(RefusedAt(refusals, folded), kRoutineAccess)) return false;
  if (kind != Reg::KindText && !number) return false;  // an unserved kind stores nothing

  const std::size_t index = sets.made++;
  if (sets.failing && *sets.failing == index) return false;
  if (!visible) return true;

  ValueView stored;
  if (kind == Reg::KindText) {
    const std::string text = Reg::RegDataText(value);
    stored.type = REG_SZ;
    stored.data.assign(text.begin(), text.end());
    stored.data.push_back(0);
  } else {
    const auto raw = static_cast<std::uint32_t>(*number);
    stored.type = REG_BINARY;
    stored.data = {static_cast<BYTE>(raw), static_cast<BYTE>(raw >> 8),
                   static_cast<BYTE>(raw >> 16), static_cast<BYTE>(raw >> 24)};
  }
  auto& values = view.at(folded).values;
  const std::string valueName = AsCString(name);
  const auto existing = values.find(Fold(valueName));
  stored.name =
      existing != values.end() ? existing->second.name : valueName;  // the first spelling stays
  values[Fold(valueName)] = std::move(stored);
  return true;
}

}  // namespace fuzz
