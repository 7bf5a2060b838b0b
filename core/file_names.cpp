#include "core/file_names.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnelo {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool SameLetters(std::wstring_view text, std::wstring_view upper) {
  return std::ranges::equal(text, upper, [](wchar_t a, wchar_t b) {
    return (a >= L'a' && a <= L'z' ? static_cast<wchar_t>(a - L'a' + L'A') : a) == b;
  });
}

// '0'-'9' and the superscripts ¹ ² ³, which Windows takes for port numbers too.
bool IsPortDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

}  // namespace

std::size_t Utf8Length(std::wstring_view name) {
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const wchar_t c = name[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
                      name[i + 1] <= 0xDFFF;
    const bool beyondUnits = (static_cast<std::uint32_t>(c) >> 16) != 0;  // 32-bit wchar_t
    bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : (pair || beyondUnits) ? 4 : 3;
    if (pair) ++i;
  }
  return bytes;
}

std::wstring_view LastPathPart(std::wstring_view path) {
  return path.substr(FolderPart(path).size());
}

std::wstring_view FolderPart(std::wstring_view path) {
  const auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
  if (last != path.rend()) return path.substr(0, static_cast<std::size_t>(path.rend() - last));
  const bool drive = path.size() >= 2 && path[1] == L':' &&
                     ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
  return drive ? path.substr(0, 2) : std::wstring_view();
}

bool NamesADevice(std::wstring_view path) {
  std::wstring_view name = LastPathPart(path);
  name = name.substr(0, std::min(name.find(L'.'), name.find(L':')));
  while (name.ends_with(L' ')) name.remove_suffix(1);
  constexpr std::array<std::wstring_view, 6> kDevices{L"CON", L"PRN",    L"AUX",
                                                      L"NUL", L"CONIN$", L"CONOUT$"};
  if (std::ranges::any_of(kDevices, [name](auto device) { return SameLetters(name, device); })) {
    return true;
  }
  return name.size() == 4 &&
         (SameLetters(name.substr(0, 3), L"COM") || SameLetters(name.substr(0, 3), L"LPT")) &&
         IsPortDigit(name[3]);
}

DWORD RefusedFileName(std::wstring_view path) {
  if (NamesADevice(path)) return kErrorIsADevice;
  if (LastPathPart(path).size() > kMaxFileNameLength) return ERROR_FILENAME_EXCED_RANGE;
  return ERROR_SUCCESS;
}

}  // namespace varnelo
