#include "app/win32/dpi.h"

#include "base/system_library.h"

namespace varnelo {
namespace {

// DPI awareness contexts (Windows 10 1607): handles of fixed value.
using DpiContext = HANDLE;
const auto kSystemAware = reinterpret_cast<DpiContext>(static_cast<INT_PTR>(-2));
const auto kPerMonitorAwareV2 = reinterpret_cast<DpiContext>(static_cast<INT_PTR>(-4));

template <typename Function>
Function User32(const char* name) {
  return SystemFunctionAs<Function>(L"user32.dll", name);
}

}  // namespace

int SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int WindowDpi(HWND window) {
  if (const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow")) {
    if (const UINT dpi = forWindow(window); dpi != 0) return static_cast<int>(dpi);
  }
  // Windows 8.1 and the first two releases of 10: the monitor's own DPI
  // (MDT_EFFECTIVE_DPI, 0). shcore.dll is no known DLL: by full path only.
  using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  if (const auto forMonitor = SystemFunctionAs<ForMonitor>(L"shcore.dll", "GetDpiForMonitor")) {
    UINT x = 0, y = 0;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (forMonitor(monitor, 0, &x, &y) == S_OK && y != 0) return static_cast<int>(y);
  }
  return SystemDpi();
}

SIZE WindowSizeFor(SIZE client, DWORD style, int dpi) {
  RECT frame{0, 0, client.cx, client.cy};
  using ForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  const auto forDpi = User32<ForDpi>("AdjustWindowRectExForDpi");
  if (forDpi == nullptr || !forDpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi))) {
    frame = {0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void ScaleNonClientArea(HWND window) {
  if (const auto scale = User32<BOOL(WINAPI*)(HWND)>("EnableNonClientDpiScaling")) scale(window);
}

SystemDialogDpi::SystemDialogDpi() {
  const auto valid = User32<BOOL(WINAPI*)(DpiContext)>("IsValidDpiAwarenessContext");
  const auto current = User32<DpiContext(WINAPI*)()>("GetThreadDpiAwarenessContext");
  const auto awareness = User32<int(WINAPI*)(DpiContext)>("GetAwarenessFromDpiAwarenessContext");
  const auto set = User32<DpiContext(WINAPI*)(DpiContext)>("SetThreadDpiAwarenessContext");
  if (valid == nullptr || current == nullptr || awareness == nullptr || set == nullptr) return;
  if (valid(kPerMonitorAwareV2)) return;  // 1703 on: Windows scales the dialog
  constexpr int kPerMonitor = 2;          // DPI_AWARENESS_PER_MONITOR_AWARE
  if (awareness(current()) == kPerMonitor) previous_ = set(kSystemAware);
}

SystemDialogDpi::~SystemDialogDpi() {
  if (previous_ == nullptr) return;
  User32<HANDLE(WINAPI*)(HANDLE)>("SetThreadDpiAwarenessContext")(previous_);
}

}  // namespace varnelo
