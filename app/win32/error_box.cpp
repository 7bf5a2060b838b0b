#include "app/win32/error_box.h"

#include "app/win32/window_title.h"
#include "base/code_page.h"

#include <string>

namespace varnelo {
void ReportRuntimeError(HWND owner, const char* what) {
  const std::wstring text =
      L"実行時エラーが発生したため、プログラムを終了します。\n\n" + WidenForShowing(what);
  MessageBoxW(owner, text.c_str(), kAppTitle, MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

}  // namespace varnelo
