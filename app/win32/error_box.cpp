#include "app/win32/error_box.h"

#include "app/window_title.h"

#include <string>

namespace varnelo {
namespace {

std::wstring Widen(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return L"";
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

}  // namespace

void ReportRuntimeError(HWND owner, const char* what) {
  const std::wstring text =
      L"実行時エラーが発生したため、プログラムを終了します。\n\n" + Widen(what);
  MessageBoxW(owner, text.c_str(), kAppTitle, MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

}  // namespace varnelo
