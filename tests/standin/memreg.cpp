#include "memreg.h"

#include "support/registry_rules.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace {

using registry_rules::Fold;

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// A Unicode name as the registry compares it (see registry_rules::FoldChar).
std::wstring Folded(std::wstring_view name) {
  std::wstring folded(name);
  for (wchar_t& c : folded) c = registry_rules::FoldChar(c);
  return folded;
}

struct Node {
  std::wstring name;                                                   // its own: UTF-16 units
  std::map<std::wstring, std::shared_ptr<Node>, std::less<>> subkeys;  // by folded name
  std::vector<Value> values;                                           // in the order first set
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
      for (const auto& [childName, child] : subkeys) byIndex.push_back(child.get());
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

// The system's 8-bit code page, as Wine takes it from the locale: 932 where
// LC_ALL names a Japanese one, else 1252.
UINT ReadSystemCodePage() {
  const char* locale = std::getenv("LC_ALL");
  return locale != nullptr && std::string_view(locale).starts_with("ja_JP") ? 932u : 1252u;
}
const UINT kSystemCodePage = ReadSystemCodePage();

// Code page 932 as far as the tests go: ASCII, half-width katakana (one
// byte each), and runs of double-byte characters.
struct Run {
  wchar_t first;
  wchar_t last;
  std::uint16_t firstCode;
};
constexpr std::array<Run, 9> kJapaneseRuns{{
    {0xFF61, 0xFF9F, 0x00A1},  // half-width katakana
    {0xFF10, 0xFF19, 0x824F},  // full-width digits
    {0xFF21, 0xFF3A, 0x8260},  // full-width capitals
    {0xFF41, 0xFF5A, 0x8281},  // full-width small letters
    {0x3041, 0x3093, 0x829F},  // hiragana
    {0xFF3C, 0xFF3C, 0x815F},  // full-width reverse solidus
    {0xFF5E, 0xFF5E, 0x8160},  // full-width tilde
    {0x65E5, 0x65E5, 0x93FA},  // 日
    {0x672C, 0x672C, 0x967B},  // 本
}};
constexpr wchar_t kJapaneseDefaultChar = 0x30FB;  // what 932 makes of bytes it lacks

bool IsLeadByte(unsigned char byte) {
  return kSystemCodePage == 932 && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0));
}

// The code of one character in the code page (below 0x100: one byte), a
// best-fit look-alike's if `bestFit` and there is one, else nothing.
std::optional<std::uint16_t> AnsiCode(wchar_t c, bool bestFit) {
  if (kSystemCodePage == 932) {
    if (c < 0x80) return static_cast<std::uint16_t>(c);
    for (const Run& run : kJapaneseRuns) {
      if (c >= run.first && c <= run.last) {
        return static_cast<std::uint16_t>(run.firstCode + (c - run.first));
      }
    }
    if (bestFit && c == 0xA5) return '\\';  // yen sign
    return std::nullopt;
  }
  // 1252, as Latin-1 (its 0x80-0x9F are not modelled).
  if (c <= 0xFF) return static_cast<std::uint16_t>(c);
  if (!bestFit) return std::nullopt;
  if (c >= 0xFF01 && c <= 0xFF5E) return static_cast<std::uint16_t>(c - 0xFF01 + '!');  // Ａ: A
  if (c == 0x2215) return '/';                                                          // ∕: /
  return std::nullopt;
}

// Unicode to the code page; `defaulted`, if given, tells whether a character
// had no code and took `defaultChar`.
std::string ToAnsi(std::wstring_view text, bool bestFit, char defaultChar = '?',
                   bool* defaulted = nullptr) {
  std::string out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    const auto code = AnsiCode(c, bestFit);
    if (!code) {
      out += defaultChar;
      if (defaulted) *defaulted = true;
    } else {
      if (*code > 0xFF) out += static_cast<char>(*code >> 8);
      out += static_cast<char>(*code & 0xFF);
    }
  }
  return out;
}

// The code page to Unicode, as the 8-bit functions take their names;
// `invalid`, if given, tells whether some bytes were no character of it.
std::wstring FromAnsi(std::string_view bytes, bool* invalid = nullptr) {
  std::wstring out(bytes.size(), L'\0');  // at most one character a byte
  if (kSystemCodePage != 932) {           // 1252 as Latin-1
    std::transform(bytes.begin(), bytes.end(), out.begin(),
                   [](char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); });
    return out;
  }
  std::size_t length = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    std::uint16_t code = byte;
    if (IsLeadByte(byte) && i + 1 < bytes.size()) {
      code = static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(bytes[++i]));
    }
    wchar_t c = code < 0x80 ? static_cast<wchar_t>(code) : kJapaneseDefaultChar;
    for (const Run& run : kJapaneseRuns) {
      if (code >= run.firstCode && code <= run.firstCode + (run.last - run.first)) {
        c = static_cast<wchar_t>(run.first + (code - run.firstCode));
      }
    }
    if (c == kJapaneseDefaultChar && invalid) *invalid = true;  // a lone lead byte too
    out[length++] = c;
  }
  out.resize(length);
  return out;
}

// UTF-8 to UTF-16 code units, as a Windows wchar_t string holds them (a
// character past U+FFFF as a surrogate pair).
std::wstring FromUtf8(std::string_view utf8) {
  std::wstring out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    if (c > 0xFFFF) {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
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

// An 8-bit key path converted to Unicode, and its names (see
// registry_rules::SplitKeyPath) as the registry compares them: views into
// `folded`, so it is filled in place.
struct KeyPath {
  std::wstring text;
  std::wstring folded;
  std::vector<std::wstring_view> names;

  // The name as given, of one of `names`.
  std::wstring_view Given(std::wstring_view name) const {
    return std::wstring_view(text).substr(static_cast<std::size_t>(name.data() - folded.data()),
                                          name.size());
  }
};

LSTATUS ParsePath(LPCSTR path, KeyPath& parsed) {
  parsed.text = FromAnsi(path ? path : "");
  parsed.folded = Folded(parsed.text);
  return registry_rules::SplitKeyPath(parsed.folded, parsed.names);
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
  for (auto& [name, child] : node.subkeys) MarkDeleted(*child);
}

// Where an open or create starts (the key `key` stands for) and the path
// below it; or the status that refuses them.
LSTATUS BeginPath(HKEY key, LPCSTR subKey, std::shared_ptr<Node>& start, KeyPath& path) {
  LSTATUS status = ERROR_SUCCESS;
  start = Resolve(key, status);
  if (!start) return status;
  status = ParsePath(subKey, path);
  // Converted into a Unicode buffer of 261 characters first.
  if (path.text.size() > registry_rules::kMaxAnsiPath) return ERROR_MORE_DATA;
  return status;
}

// The key that folded `names` lead to below `node`; nullptr where one is missing.
std::shared_ptr<Node> Below(std::shared_ptr<Node> node, std::span<const std::wstring_view> names) {
  for (const auto name : names) {
    const auto child = node->subkeys.find(name);
    if (child == node->subkeys.end()) return nullptr;
    node = child->second;
  }
  return node;
}

// The key at `path` below `root`, for the test controls; nullptr if missing.
std::shared_ptr<Node> ExistingKey(HKEY root, const std::string& path) {
  LSTATUS status = ERROR_SUCCESS;
  auto node = Resolve(root, status);
  KeyPath parsed;
  if (!node || ParsePath(path.c_str(), parsed) != ERROR_SUCCESS) return nullptr;
  return Below(std::move(node), parsed.names);
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
  node->refused = rights;  // as a new DACL replaces the old: 0 allows everything again
  return true;
}

bool CreateKeyByUnicodeName(HKEY root, const std::string& parentPath, const std::string& utf8Name) {
  const auto node = ExistingKey(root, parentPath);
  if (!node) return false;
  auto fresh = std::make_shared<Node>();
  fresh->name = FromUtf8(utf8Name);
  node->subkeys.emplace(Folded(fresh->name), std::move(fresh));
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
  std::shared_ptr<Node> node;
  KeyPath path;
  if (const LSTATUS status = BeginPath(key, subKey, node, path); status != ERROR_SUCCESS) {
    return status;
  }
  node = Below(std::move(node), path.names);
  if (!node) return ERROR_FILE_NOT_FOUND;
  if (registry_rules::Refuses(node->refused, access)) return ERROR_ACCESS_DENIED;
  *result = NewHandle(std::move(node), access);
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD /*reserved*/, LPSTR /*keyClass*/,
                        DWORD /*options*/, REGSAM access, LPSECURITY_ATTRIBUTES /*security*/,
                        PHKEY result, LPDWORD disposition) {
  std::shared_ptr<Node> node;
  KeyPath path;
  if (const LSTATUS status = BeginPath(key, subKey, node, path); status != ERROR_SUCCESS) {
    return status;
  }
  bool created = false;
  for (const auto name : path.names) {
    auto child = node->subkeys.find(name);
    if (child == node->subkeys.end()) {
      // Like Wine, a parent's refused KEY_CREATE_SUB_KEY does not stop it.
      auto fresh = std::make_shared<Node>();
      fresh->name = path.Given(name);
      child = node->subkeys.emplace(name, std::move(fresh)).first;
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
  const std::string name = ToAnsi(valueName != nullptr ? valueName : L"", true);
  return RegQueryValueExA(key, name.c_str(), reserved, type, data, dataSize);
}

// The stored bytes are the caller's, whatever the type, as with Windows' W call.
LSTATUS RegSetValueExW(HKEY key, const wchar_t* valueName, DWORD reserved, DWORD type,
                       const BYTE* data, DWORD dataSize) {
  const std::string name = ToAnsi(valueName != nullptr ? valueName : L"", true);
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

// As in Windows and Wine: the Unicode listing, the name converted to the code
// page with best fit, and 234 when that does not fit the buffer in bytes.
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD /*reserved*/,
                      LPSTR /*keyClass*/, LPDWORD /*classSize*/, PFILETIME lastWriteTime) {
  return EnumSubkey(key, index, name, nameSize, lastWriteTime,
                    [](const Node& child) { return ToAnsi(child.name, true); });
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, wchar_t* name, LPDWORD nameSize, LPDWORD /*reserved*/,
                      wchar_t* /*keyClass*/, LPDWORD /*classSize*/, PFILETIME lastWriteTime) {
  return EnumSubkey(key, index, name, nameSize, lastWriteTime,
                    [](const Node& child) -> const std::wstring& { return child.name; });
}

UINT GetACP() { return kSystemCodePage; }

// Best fit unless WC_NO_BEST_FIT_CHARS; any other flag is refused, as
// Windows refuses WC_ERR_INVALID_CHARS for a code page other than UTF-8.
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* wide, int wideLength,
                        LPSTR bytes, int byteSize, LPCSTR defaultChar, BOOL* usedDefault) {
  if (codePage != CP_ACP || wide == nullptr || byteSize < 0 ||
      (flags & ~WC_NO_BEST_FIT_CHARS) != 0) {
    return 0;
  }
  const std::wstring_view text =
      wideLength < 0 ? std::wstring_view(wide, std::wcslen(wide) + 1)
                     : std::wstring_view(wide, static_cast<std::size_t>(wideLength));
  bool defaulted = false;
  const std::string out = ToAnsi(text, (flags & WC_NO_BEST_FIT_CHARS) == 0,
                                 defaultChar ? *defaultChar : '?', &defaulted);
  if (usedDefault) *usedDefault = defaulted ? TRUE : FALSE;
  if (out.empty()) return 0;
  if (byteSize == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<std::size_t>(byteSize)) return 0;  // buffer too small
  std::copy(out.begin(), out.end(), bytes);
  return static_cast<int>(out.size());
}

// A length of -1 is not served. MB_ERR_INVALID_CHARS fails on bytes that
// are no character of the code page.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int byteLength, wchar_t* wide,
                        int wideSize) {
  if (codePage != CP_ACP || bytes == nullptr || byteLength <= 0 || wideSize < 0) return 0;
  bool invalid = false;
  const std::wstring out =
      FromAnsi(std::string_view(bytes, static_cast<std::size_t>(byteLength)), &invalid);
  if (invalid && (flags & MB_ERR_INVALID_CHARS) != 0) return 0;
  if (wideSize == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<std::size_t>(wideSize)) return 0;  // buffer too small
  std::copy(out.begin(), out.end(), wide);
  return static_cast<int>(out.size());
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
  KeyPath path;
  if (const LSTATUS parsed = ParsePath(subKey, path); parsed != ERROR_SUCCESS) return parsed;
  const auto& parts = path.names;
  if (parts.empty()) {  // the key itself stays; everything below it goes
    for (auto& [name, child] : node->subkeys) MarkDeleted(*child);
    node->subkeys.clear();
    node->SubkeysChanged();
    node->values.clear();
    return ERROR_SUCCESS;
  }
  node = Below(std::move(node), std::span(parts).first(parts.size() - 1));
  if (!node) return ERROR_FILE_NOT_FOUND;
  const auto target = node->subkeys.find(parts.back());
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
  const Value* found = node->FindValue(valueName ? valueName : "");
  if (found == nullptr) return ERROR_FILE_NOT_FOUND;
  node->values.erase(node->values.begin() + (found - node->values.data()));
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, const wchar_t* valueName) {
  LSTATUS status = ERROR_SUCCESS;
  if (!OpenedFor(key, KEY_SET_VALUE, status)) return status;
  const std::string name = ToAnsi(valueName != nullptr ? valueName : L"", true);
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
