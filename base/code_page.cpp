#include "base/code_page.h"

#include <windows.h>

namespace varnelo {
namespace {

std::optional<std::wstring> Widen(std::string_view text, DWORD flags) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, flags, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  if (MultiByteToWideChar(CP_ACP, flags, text.data(), length, wide.data(), needed) != needed) {
    return std::nullopt;
  }
  return wide;
}

}  // namespace

std::optional<std::wstring> WidenExactly(std::string_view text) {
  return Widen(text, MB_ERR_INVALID_CHARS);
}

std::wstring WidenForShowing(std::string_view text) { return Widen(text, 0).value_or(L""); }

}  // namespace varnelo
