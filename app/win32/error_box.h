// The run-time error report: what the window shows when one of its own
// operations fails, before the program ends.
#pragma once

#include <windows.h>

namespace varnelo {

// A message box over `owner` naming what failed (`what`, in the system's
// 8-bit code page), then the program ends with exit code 1. Never returns.
[[noreturn]] void ReportRuntimeError(HWND owner, const char* what);

}  // namespace varnelo
