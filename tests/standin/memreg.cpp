#include "memreg.h"

#include "support/registry_rules.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <optional>

namespace {

using registry_rules::Fold;

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct Node {
  std::string name;                                      // as the 8-bit functions spell it
  std::wstring ownName;                                  // as the Unicode functions spell it
  std::map<std::string, std::shared_ptr<Node>> subkeys;  // by folded name: enumeration order
  std::vector<Value> values;                             // in the order first set
  REGSAM refused = 0;
  bool deleted = false;

  // The subkeys in enumeration order, by index, as Wine's server keeps them
  // (a sorted array): a listing of N subkeys costs O(N), not O(N^2). Built on
  // the first enumeration after a change; every change to `subkeys` must call
  // SubkeysChanged().
  std::vector<const Node*> byIndex;
  bool byIndexStale = true;

  void SubkeysChanged() {
    byIndex.clear();
    byIndexStale = true;
  }

  const Node* SubkeyAt(std::size_t index) {
    if (byIndexStale) {
      byIndex.reserve(subkeys.size());
      for (const auto& [folded, child] : subkeys) byIndex.push_back(child.get());
      byIndexStale = false;
    }
    return index < byIndex.size() ? byIndex[index] : nullptr;
  }

  Value* FindValue(std::string_view valueName) {
    const std::string folded = Fold(valueName);
    for (auto& value : values) {
      if (Fold(value.name) == folded) return &value;
    }
    return nullptr;
  }
};

struct Handle {
  std::shared_ptr<Node> node;
  REGSAM granted = 0;
};

struct Registry {
  std::shared_ptr<Node> currentUser = std::make_shared<Node>();
  std::shared_ptr<Node> currentUserOverride;  // RegOverridePredefKey
  std::shared_ptr<Node> localMachine = std::make_shared<Node>();
  std::map<std::uintptr_t, Handle> open;
  std::uintptr_t nextHandle = 0x1000;
  std::optional<std::size_t> failSetAt;
  LSTATUS failSetStatus = ERROR_SUCCESS;
  std::size_t setCalls = 0;
  std::optional<std::size_t> failQueryWAt;
  LSTATUS failQueryWStatus = ERROR_SUCCESS;
  std::size_t queryWCalls = 0;
};

Registry& State() {
  static Registry registry;
  return registry;
}

// The 8-bit spelling of one character: Latin-1 as it is, a best-fit
// look-alike if `bestFit` and there is one, else nothing.
std::optional<char> AnsiChar(wchar_t c, bool bestFit) {
  if (c <= 0xFF) return static_cast<char>(c);
  if (!bestFit) return std::nullopt;
  if (c >= 0xFF01 && c <= 0xFF5E) return static_cast<char>(c - 0xFF01 + 0x21);  // full-width ASCII
  if (c == 0x2215) return '/';                                                  // division slash
  return std::nullopt;
}

std::string AnsiSpelling(std::wstring_view name) {
  std::string out;
  for (const wchar_t c : name) out += AnsiChar(c, true).value_or('?');
  return out;
}

std::wstring Widened(std::string_view latin1) {
  std::wstring out;
  for (const char c : latin1) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}

std::wstring FromUtf8(std::string_view utf8) {
  std::wstring out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    out += static_cast<wchar_t>(c);
    i += length;
  }
  return out;
}

// The node a handle stands for: a predefined root or an open key.
std::shared_ptr<Node> Resolve(HKEY key, LSTATUS& status, REGSAM* granted = nullptr) {
  auto& state = State();
  if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
    if (granted) *granted = KEY_ALL_ACCESS;
    if (key == HKEY_LOCAL_MACHINE) return state.localMachine;
    return state.currentUserOverride ? state.currentUserOverride : state.currentUser;
  }
  const auto found = state.open.find(reinterpret_cast<std::uintptr_t>(key));
  if (found == state.open.end()) {
    status = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (found->second.node->deleted) {
    status = ERROR_KEY_DELETED;
    return nullptr;
  }
  if (granted) *granted = found->second.granted;
  return found->second.node;
}

// The node of a key opened with `right`; 5 when it was opened without.
std::shared_ptr<Node> OpenedFor(HKEY key, REGSAM right, LSTATUS& status) {
  REGSAM granted = 0;
  auto node = Resolve(key, status, &granted);
  if (node && (granted & right) == 0) {
    status = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  return node;
}

// The names of a key path (see registry_rules::SplitKeyPath), or nullopt with
// the status that refuses it.
std::optional<std::vector<std::string>> SplitPath(LPCSTR path, LSTATUS& status) {
  std::vector<std::string> names;
  status = registry_rules::SplitKeyPath(path ? path : "", names);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return names;
}

HKEY NewHandle(std::shared_ptr<Node> node, REGSAM access) {
  auto& state = State();
  const std::uintptr_t raw = state.nextHandle;
  state.nextHandle += 4;
  state.open.emplace(raw, Handle{std::move(node), access});
  return reinterpret_cast<HKEY>(raw);
}

void MarkDeleted(Node& node) {
  node.deleted = true;
  for (auto& [folded, child] : node.subkeys) MarkDeleted(*child);
}

// Where an open or create starts (the key `key` stands for) and the path
// below it; or the status that refuses them.
struct PathStart {
  std::shared_ptr<Node> node;
  std::vector<std::string> parts;
};

LSTATUS BeginPath(HKEY key, LPCSTR subKey, PathStart& start) {
  LSTATUS status = ERROR_SUCCESS;
  start.node = Resolve(key, status);
  if (!start.node) return status;
  if (subKey != nullptr && std::strlen(subKey) > registry_rules::kMaxAnsiPath) {
    return ERROR_MORE_DATA;
  }
  auto parts = SplitPath(subKey, status);
  if (!parts) return status;
  start.parts = std::move(*parts);
  return ERROR_SUCCESS;
}

// The key at `path` below `root`, for the test controls; nullptr if missing.
std::shared_ptr<Node> ExistingKey(HKEY root, const std::string& path) {
  LSTATUS status = ERROR_SUCCESS;
  auto node = Resolve(root, status);
  const auto parts = SplitPath(path.c_str(), status);
  if (!node || !parts) return nullptr;
  for (const auto& part : *parts) {
    const auto child = node->subkeys.find(Fold(part));
    if (child == node->subkeys.end()) return nullptr;
    node = child->second;
  }
  return node;
}

}  // namespace

namespace memreg {

void Reset() {
  auto& state = State();
  state.currentUser = std::make_shared<Node>();
  state.currentUserOverride.reset();
  state.localMachine = std::make_shared<Node>();
  state.failSetAt.reset();
  state.setCalls = 0;
  state.failQueryWAt.reset();
  state.queryWCalls = 0;
  // Handles left open stay counted, so a test that leaked one still fails.
}

std::size_t OpenKeyCount() { return State().open.size(); }

bool RefuseRights(HKEY root, const std::string& path, REGSAM rights) {
  const auto node = ExistingKey(root, path);
  if (!node) return false;
  node->refused |= rights;
  return true;
}

bool CreateKeyOutsideCodePage(HKEY root, const std::string& parentPath,
                              const std::string& utf8Name) {
  const auto node = ExistingKey(root, parentPath);
  if (!node) return false;
  // The key is found by its own name; the 8-bit spelling is only what the
  // enumeration shows.
  auto fresh = std::make_shared<Node>();
  fresh->ownName = FromUtf8(utf8Name);
  fresh->name = AnsiSpelling(fresh->ownName);
  node->subkeys.emplace(Fold(utf8Name), std::move(fresh));
  node->SubkeysChanged();
  return true;
}

void FailSetValueAt(std::size_t n, LSTATUS status) {
  auto& state = State();
  state.failSetAt = state.setCalls + n;
  state.failSetStatus = status;
}

void FailQueryValueWAt(std::size_t n, LSTATUS status) {
  auto& state = State();
  state.failQueryWAt = state.queryWCalls + n;
  state.failQueryWStatus = status;
}

}  // namespace memreg

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM access, PHKEY result) {
  PathStart start;
  if (const LSTATUS status = BeginPath(key, subKey, start); status != ERROR_SUCCESS) return status;
  auto node = std::move(start.node);
  for (const auto& part : start.parts) {
    const auto child = node->subkeys.find(Fold(part));
    if (child == node->subkeys.end()) return ERROR_FILE_NOT_FOUND;
    node = child->second;
  }
  if (registry_rules::Refuses(node->refused, access)) return ERROR_ACCESS_DENIED;
  *result = NewHandle(std::move(node), access);
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD /*reserved*/, LPSTR /*keyClass*/,
                        DWORD /*options*/, REGSAM access, LPSECURITY_ATTRIBUTES /*security*/,
                        PHKEY result, LPDWORD disposition) {
  PathStart start;
  if (const LSTATUS status = BeginPath(key, subKey, start); status != ERROR_SUCCESS) return status;
  auto node = std::move(start.node);
  bool created = false;
  for (const auto& part : start.parts) {
    const std::string folded = Fold(part);
    auto child = node->subkeys.find(folded);
    if (child == node->subkeys.end()) {
      // Like Wine, a parent's refused KEY_CREATE_SUB_KEY does not stop it.
      auto fresh = std::make_shared<Node>();
      fresh->name = part;
      fresh->ownName = Widened(part);
      child = node->subkeys.emplace(folded, std::move(fresh)).first;
      node->SubkeysChanged();
      created = true;
    }
    node = child->second;
  }
  if (registry_rules::Refuses(node->refused, access)) return ERROR_ACCESS_DENIED;
  if (disposition) *disposition = created ? 1 : 2;  // REG_CREATED_NEW_KEY / REG_OPENED_EXISTING_KEY
  *result = NewHandle(std::move(node), access);
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD /*reserved*/, LPDWORD type,
                         LPBYTE data, LPDWORD dataSize) {
  LSTATUS status = ERROR_SUCCESS;
  const auto node = OpenedFor(key, KEY_QUERY_VALUE, status);
  if (!node) return status;
  const Value* value = node->FindValue(valueName ? valueName : "");
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  const auto needed = static_cast<DWORD>(value->data.size());
  if (type) *type = value->type;
  if (data != nullptr) {
    if (dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    if (*dataSize < needed) {  // the buffer is left as it was
      *dataSize = needed;
      return ERROR_MORE_DATA;
    }
    std::copy(value->data.begin(), value->data.end(), data);
  }
  if (dataSize) *dataSize = needed;
  return ERROR_SUCCESS;
}

// Value names are set through the 8-bit calls, and the stand-in converts no
// text: a value's bytes come back as they were set.
LSTATUS RegQueryValueExW(HKEY key, const wchar_t* valueName, LPDWORD reserved, LPDWORD type,
                         LPBYTE data, LPDWORD dataSize) {
  auto& state = State();
  if (state.failQueryWAt && *state.failQueryWAt == state.queryWCalls++) {
    state.failQueryWAt.reset();
    return state.failQueryWStatus;
  }
  const std::string name = AnsiSpelling(valueName != nullptr ? valueName : L"");
  return RegQueryValueExA(key, name.c_str(), reserved, type, data, dataSize);
}

// The stored bytes are the caller's, whatever the type, as with Windows' W call.
LSTATUS RegSetValueExW(HKEY key, const wchar_t* valueName, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD dataSize) {
  const std::string name = AnsiSpelling(valueName != nullptr ? valueName : L"");
  return RegSetValueExA(key, name.c_str(), reserved, type, data, dataSize);
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data,
                       DWORD dataSize) {
  auto& state = State();
  LSTATUS status = ERROR_SUCCESS;
  const auto node = OpenedFor(key, KEY_SET_VALUE, status);
  if (!node) return status;
  if (state.failSetAt && *state.failSetAt == state.setCalls++) {
    state.failSetAt.reset();
    return state.failSetStatus;
  }
  const std::string name = valueName ? valueName : "";
  Value* value = node->FindValue(name);
  if (value == nullptr) {
    node->values.push_back(Value{name, type, {}});
    value = &node->values.back();
  }
  value->type = type;
  value->data.assign(data, data + dataSize);
  return ERROR_SUCCESS;
}

namespace {

// The subkey at `index` of an open key, its name as `spelling` gives it
// (the 8-bit or the Unicode one), copied with its terminator.
template <typename Char, typename Spelling>
LSTATUS EnumSubkey(HKEY key, DWORD index, Char* name, LPDWORD nameSize, PFILETIME lastWriteTime,
                   Spelling spelling) {
  LSTATUS status = ERROR_SUCCESS;
  const auto node = OpenedFor(key, KEY_ENUMERATE_SUB_KEYS, status);
  if (!node) return status;
  const Node* child = node->SubkeyAt(index);
  if (child == nullptr) return ERROR_NO_MORE_ITEMS;
  const auto& spelt = spelling(*child);
  if (spelt.size() + 1 > *nameSize) return ERROR_MORE_DATA;  // the buffer is left as it was
  std::copy(spelt.c_str(), spelt.c_str() + spelt.size() + 1, name);
  *nameSize = static_cast<DWORD>(spelt.size());
  if (lastWriteTime) *lastWriteTime = FILETIME{};
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD /*reserved*/,
                      LPSTR /*keyClass*/, LPDWORD /*classSize*/, PFILETIME lastWriteTime) {
  return EnumSubkey(key, index, name, nameSize, lastWriteTime,
                    [](const Node& child) -> const std::string& { return child.name; });
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, wchar_t* name, LPDWORD nameSize, LPDWORD /*reserved*/,
                      wchar_t* /*keyClass*/, LPDWORD /*classSize*/, PFILETIME lastWriteTime) {
  return EnumSubkey(key, index, name, nameSize, lastWriteTime,
                    [](const Node& child) -> const std::wstring& { return child.ownName; });
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* wide, int wideLength,
                        LPSTR bytes, int byteSize, LPCSTR defaultChar, BOOL* usedDefault) {
  if (codePage != CP_ACP || wide == nullptr || byteSize < 0) return 0;
  const std::wstring_view text =
      wideLength < 0 ? std::wstring_view(wide, std::wcslen(wide) + 1)
                     : std::wstring_view(wide, static_cast<std::size_t>(wideLength));
  std::string out;
  bool defaulted = false;
  for (const wchar_t c : text) {
    const auto spelt = AnsiChar(c, (flags & WC_NO_BEST_FIT_CHARS) == 0);
    defaulted = defaulted || !spelt;
    out += spelt.value_or(defaultChar ? *defaultChar : '?');
  }
  if (usedDefault) *usedDefault = defaulted ? TRUE : FALSE;
  if (byteSize == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<std::size_t>(byteSize)) return 0;  // buffer too small
  std::copy(out.begin(), out.end(), bytes);
  return static_cast<int>(out.size());
}

// Latin-1: each byte the character of that number (a length of -1 is not served).
int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR bytes, int byteLength, wchar_t* wide,
                        int wideSize) {
  if (codePage != CP_ACP || bytes == nullptr || byteLength < 0 || wideSize < 0) return 0;
  if (wideSize == 0 || byteLength > wideSize) return wideSize == 0 ? byteLength : 0;
  std::copy_n(reinterpret_cast<const unsigned char*>(bytes), byteLength, wide);
  return byteLength;
}

LSTATUS RegCloseKey(HKEY key) {
  if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  return State().open.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS
                                                                        : ERROR_INVALID_HANDLE;
}

LSTATUS RegOverridePredefKey(HKEY key, HKEY newKey) {
  if (key != HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
  auto& state = State();
  if (newKey == nullptr) {
    state.currentUserOverride.reset();
    return ERROR_SUCCESS;
  }
  LSTATUS status = ERROR_SUCCESS;
  auto node = Resolve(newKey, status);
  if (!node) return status;
  state.currentUserOverride = std::move(node);  // the key stays redirected to after newKey closes
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteTreeA(HKEY key, LPCSTR subKey) {
  LSTATUS status = ERROR_SUCCESS;
  auto node = Resolve(key, status);
  if (!node) return status;
  const auto parts = SplitPath(subKey, status);
  if (!parts) return status;
  if (parts->empty()) {  // the key itself stays; everything below it goes
    for (auto& [folded, child] : node->subkeys) MarkDeleted(*child);
    node->subkeys.clear();
    node->SubkeysChanged();
    node->values.clear();
    return ERROR_SUCCESS;
  }
  for (std::size_t i = 0; i + 1 < parts->size(); ++i) {
    const auto child = node->subkeys.find(Fold((*parts)[i]));
    if (child == node->subkeys.end()) return ERROR_FILE_NOT_FOUND;
    node = child->second;
  }
  const auto target = node->subkeys.find(Fold(parts->back()));
  if (target == node->subkeys.end()) return ERROR_FILE_NOT_FOUND;
  MarkDeleted(*target->second);
  node->subkeys.erase(target);
  node->SubkeysChanged();
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName) {
  LSTATUS status = ERROR_SUCCESS;
  auto node = Resolve(key, status);
  if (!node) return status;
  const std::string folded = Fold(valueName ? valueName : "");
  const auto found = std::find_if(node->values.begin(), node->values.end(),
                                  [&](const Value& value) { return Fold(value.name) == folded; });
  if (found == node->values.end()) return ERROR_FILE_NOT_FOUND;
  node->values.erase(found);
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, const wchar_t* valueName) {
  LSTATUS status = ERROR_SUCCESS;
  if (!OpenedFor(key, KEY_SET_VALUE, status)) return status;
  const std::string name = AnsiSpelling(valueName != nullptr ? valueName : L"");
  return RegDeleteValueA(key, name.c_str());
}

LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD /*reserved*/,
                      LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  LSTATUS status = ERROR_SUCCESS;
  const auto node = OpenedFor(key, KEY_QUERY_VALUE, status);
  if (!node) return status;
  if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
  const Value& value = node->values[index];
  if (value.name.size() + 1 > *nameSize) return ERROR_MORE_DATA;
  std::memcpy(name, value.name.c_str(), value.name.size() + 1);
  *nameSize = static_cast<DWORD>(value.name.size());
  if (type) *type = value.type;
  if (dataSize) {
    if (data && *dataSize < value.data.size()) {
      *dataSize = static_cast<DWORD>(value.data.size());
      return ERROR_MORE_DATA;
    }
    if (data) std::copy(value.data.begin(), value.data.end(), data);
    *dataSize = static_cast<DWORD>(value.data.size());
  }
  return ERROR_SUCCESS;
}
