// The window's dots per inch on a desk whose screens have different scales.
// The manifest makes the program per-monitor aware where Windows has that
// (8.1 on); every function newer than XP is looked up at run time, and each
// answer falls back to what the system can say (in the end, the system DPI).
#pragma once

#include <windows.h>

namespace varnelo {

// Not in XP's headers: the window's monitor changed scale (Windows 8.1), and
// Windows asking the size the window wants at a new DPI (Windows 10 1703).
inline constexpr UINT kWmDpiChanged = 0x02E0;
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;

// The system DPI: the one scale of Windows XP to 8; from 8.1 on, the main
// screen's as Windows took it for this program.
int SystemDpi();

// The DPI of the monitor `window` is on, where the system can say it
// (Windows 10 1607 for the window, 8.1 for its monitor); else the system DPI.
int WindowDpi(HWND window);

// The size of a window of this style whose client area is `client` at `dpi`:
// with the caption and borders of that DPI where the system draws them so
// (Windows 10 1607 on), else with the system's.
SIZE WindowSizeFor(SIZE client, DWORD style, int dpi);

// Call at WM_NCCREATE: on Windows 10 1607, where the program is per-monitor
// aware but not yet "v2", the caption and borders then follow the DPI as
// they do by themselves from 1703 on.
void ScaleNonClientArea(HWND window);

// While it lives, system dialogs opened by this thread come up at the DPI of
// the monitor they open on. From Windows 10 1703 on (per-monitor v2) Windows
// scales them itself and this does nothing. On 1607 the thread is only
// per-monitor aware, where a system dialog would keep the start-up DPI on any
// monitor: it is made system aware for the dialog, and Windows scales it.
class SystemDialogDpi {
 public:
  SystemDialogDpi();
  ~SystemDialogDpi();
  SystemDialogDpi(const SystemDialogDpi&) = delete;
  SystemDialogDpi& operator=(const SystemDialogDpi&) = delete;

 private:
  HANDLE previous_ = nullptr;  // the thread's context to go back to (DPI_AWARENESS_CONTEXT)
};

}  // namespace varnelo
