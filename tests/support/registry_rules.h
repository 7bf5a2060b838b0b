// The registry's rules for key names, paths and rights, as Wine applies them.
// The in-memory stand-in obeys them, on Unicode names (the 8-bit (A)
// functions convert a path first), and the fuzzer's model predicts with them
// on 8-bit names (in the stand-in's default code page one byte is one
// character), so both read them from here.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace registry_rules {

// The rights a key has of its own (KEY_QUERY_VALUE .. KEY_CREATE_LINK): the
// ones a key can refuse. Opening or creating it with a refused one fails with 5.
inline constexpr REGSAM kKeyRights = 0x3F;

inline bool Refuses(REGSAM refused, REGSAM access) { return (access & kKeyRights & refused) != 0; }

// Wine takes a key name of 256 characters (one more than Windows documents);
// a longer one fails with 87, an empty one with 161.
inline constexpr std::size_t kMaxKeyName = 256;
inline constexpr LSTATUS kBadPathname = 161;

// The A functions convert a key path into the thread's static Unicode buffer
// of 261 characters: a longer path fails with 234 (buffer overflow).
inline constexpr std::size_t kMaxAnsiPath = 260;

// Names compare as the registry compares them: ASCII letters lower-cased, so
// "_" and "[" sort before the letters. For 8-bit names and for Unicode ones
// (UTF-16 code units, as the stand-in keeps them).
template <typename Char>
Char FoldChar(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}
inline std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldChar(c);
  return folded;
}

// Cuts a key path into its names; one trailing backslash is allowed and an
// empty path names the key itself. ERROR_SUCCESS, or the status that refuses
// the path: 161 for an empty name, 87 for one too long. (The length of the
// whole path is the caller's to check: not every function limits it.)
template <typename Char, typename Name>
LSTATUS SplitPath(std::basic_string_view<Char> path, std::vector<Name>& names) {
  names.clear();
  if (path.empty()) return ERROR_SUCCESS;
  if (path.back() == '\\') path.remove_suffix(1);
  while (true) {
    const auto cut = path.find('\\');
    const std::basic_string_view<Char> name = path.substr(0, cut);
    if (name.empty()) return kBadPathname;
    if (name.size() > kMaxKeyName) return ERROR_INVALID_PARAMETER;
    names.emplace_back(name);
    if (cut == std::basic_string_view<Char>::npos) return ERROR_SUCCESS;
    path.remove_prefix(cut + 1);
  }
}
inline LSTATUS SplitKeyPath(std::string_view path, std::vector<std::string>& names) {
  return SplitPath(path, names);
}
// The names as views into `path`.
inline LSTATUS SplitKeyPath(std::wstring_view path, std::vector<std::wstring_view>& names) {
  return SplitPath(path, names);
}

}  // namespace registry_rules
