// Finding another program's window from outside: shared by the end-to-end
// driver and the benchmark driver (which does without GoogleTest).
#pragma once

#include <windows.h>

#include <array>
#include <cwchar>

namespace e2e {

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

inline BOOL CALLBACK NoteVisibleWindowOfClass(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  std::array<wchar_t, 256> name{};
  GetClassNameW(hwnd, name.data(), static_cast<int>(name.size()));
  if (owner != search->pid || !IsWindowVisible(hwnd) ||
      std::wcscmp(name.data(), search->className) != 0) {
    return TRUE;
  }
  search->found = hwnd;
  return FALSE;
}

// The visible top-level window of class `className` that process `pid` owns,
// or nullptr.
inline HWND FindVisibleTopLevel(DWORD pid, const wchar_t* className) {
  WindowSearch search{pid, className, nullptr};
  EnumWindows(NoteVisibleWindowOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace e2e
