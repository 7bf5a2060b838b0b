#include "app/win32/version_info.h"

#include <cstddef>
#include <cstring>
#include <string_view>

namespace varnelo {

VersionNumbers ReadVersionResource(HMODULE module) {
  const HRSRC info =
      FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));  // RT_VERSION
  const HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
  const auto* block = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (block == nullptr) throw ToolkitError("FindResourceW (version)");
  const DWORD size = SizeofResource(module, info);

  // VS_VERSIONINFO: three WORDs (length, value length, type), the key
  // L"VS_VERSION_INFO" with its zero, padding to a 4-byte boundary, then the
  // VS_FIXEDFILEINFO value.
  constexpr std::wstring_view kKey = L"VS_VERSION_INFO";
  constexpr std::size_t kKeyOffset = 3 * sizeof(WORD);
  constexpr std::size_t kValueOffset =
      (kKeyOffset + (kKey.size() + 1) * sizeof(wchar_t) + 3) & ~std::size_t{3};
  WORD valueLength = 0;
  VS_FIXEDFILEINFO fixed{};
  if (size < kValueOffset + sizeof(fixed)) throw ToolkitError("version resource too short");
  std::memcpy(&valueLength, block + sizeof(WORD), sizeof(valueLength));
  wchar_t key[kKey.size() + 1] = {};
  std::memcpy(key, block + kKeyOffset, sizeof(key));
  std::memcpy(&fixed, block + kValueOffset, sizeof(fixed));
  if (std::wstring_view(key, kKey.size()) != kKey || key[kKey.size()] != L'\0' ||
      valueLength < sizeof(fixed) || fixed.dwSignature != 0xFEEF04BD) {
    throw ToolkitError("version resource malformed");
  }
  return {HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
          LOWORD(fixed.dwFileVersionLS)};
}

}  // namespace varnelo
