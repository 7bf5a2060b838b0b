// Drives the real varnelo.exe from outside, as a user would: starts it,
// finds its windows, clicks its buttons, reads what it shows on screen.
// Windows test programs only; they run under Wine in the test prefix, where
// HKEY_CURRENT_USER is the prefix's own (shared with the exe under test).
#pragma once

#include "app/control_ids.h"
#include "base/unique_handle.h"
#include "support/hive.h"

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }

// A kernel handle (process, thread) closed exactly once.
using OwnedHandle = varnelo::UniqueHandle<HANDLE, CloseKernelHandle>;

// The exe under test, as a Windows path.
std::wstring ExePath();

// One running varnelo.exe; ended (if still running) when this goes.
class Varnelo {
 public:
  Varnelo();                                      // starts it; fails the test if it cannot
  explicit Varnelo(const std::wstring& exePath);  // starts another copy of it
  ~Varnelo();
  Varnelo(const Varnelo&) = delete;
  Varnelo& operator=(const Varnelo&) = delete;

  // The visible Form1 window of this process, or nullptr after `ms`.
  HWND WaitForMainWindow(DWORD ms = 20000);
  // A visible dialog (#32770: message box, colour dialog) of this process.
  HWND WaitForDialog(DWORD ms = 20000);
  // Whether Form1 of this process exists and is visible right now.
  bool MainWindowVisible() const;
  // Waits for the process to end; its exit code, or nothing on time-out.
  bool WaitForExit(DWORD ms, DWORD* exitCode = nullptr);
  // Waits until the window answers again, then lets it finish painting.
  void Settle() const;

  HWND Main() const { return main_; }
  HWND Control(int id) const { return GetDlgItem(main_, id); }
  // Presses 閉 じ る and expects the program to end at once, with exit code 0.
  void CloseWithButton();
  // Presses a button as a mouse click would; returns at once, so a handler
  // that opens a modal dialog does not block the test.
  void Click(int id) const;

  DWORD Pid() const { return pid_; }

 private:
  OwnedHandle process_;
  OwnedHandle thread_;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
};

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
std::vector<HWND> Children(HWND parent);

// Screen pixels of a window's client area (what is on screen now).
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> data;  // row by row
  COLORREF At(int x, int y) const { return data[static_cast<std::size_t>(y * width + x)]; }
};
Pixels CapturePixels(HWND hwnd);

// The colours a label's text is drawn in: every colour in its client area
// other than its background (the colour of its top-left pixel). Empty when
// the text is invisible.
std::set<COLORREF> InkColors(HWND label);

std::string Narrow(const std::wstring& text);

}  // namespace e2e
