// Driving another program from outside, as a user would: starting it,
// finding its windows, pressing its buttons and waiting for what it does.
// The end-to-end tests and the benchmark driver (which does without
// GoogleTest) both work through this.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

#include <array>
#include <cwchar>
#include <optional>
#include <string>
#include <utility>

namespace e2e {

inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }

// A kernel handle (process, thread, pipe end) closed exactly once.
using OwnedHandle = varnelo::UniqueHandle<HANDLE, CloseKernelHandle>;

inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void DeleteBitmap(HBITMAP bitmap) { DeleteObject(bitmap); }
inline void UnloadModule(HMODULE module) { FreeLibrary(module); }

// The screen's device context (GetDC(nullptr)), a memory one, a bitmap and a
// loaded module, each given back exactly once.
using ScreenDc = varnelo::UniqueHandle<HDC, ReleaseScreenDc>;
using MemoryDc = varnelo::UniqueHandle<HDC, DeleteMemoryDc>;
using Bitmap = varnelo::UniqueHandle<HBITMAP, DeleteBitmap>;
using LoadedModule = varnelo::UniqueHandle<HMODULE, UnloadModule>;

// UTF-8, for reports.
inline std::string Narrow(const std::wstring& text) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
  if (length > 1) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
  }
  return out;
}

// Every wait for another program: takes `sample()` until `done` holds for
// it or `ms` have passed, and gives the last one.
template <typename Sample, typename Done>
auto SampleUntil(Sample sample, Done done, DWORD ms, DWORD pauseMs = 20) {
  const DWORD start = GetTickCount();
  auto value = sample();
  while (!done(value) && GetTickCount() - start < ms) {
    Sleep(pauseMs);
    value = sample();
  }
  return value;
}

// Whether `condition()` came to hold within `ms`.
template <typename Condition>
bool Eventually(Condition condition, DWORD ms = 10000, DWORD pauseMs = 20) {
  return SampleUntil(
      condition, [](bool held) { return held; }, ms, pauseMs);
}

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

// The visible top-level window of class `className` that process `pid`
// owns, or nullptr.
inline HWND FindVisibleTopLevel(DWORD pid, const wchar_t* className) {
  WindowSearch search{pid, className, nullptr};
  EnumWindows(NoteVisibleWindowOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The same window once it is there, or nullptr after `ms`.
inline HWND WaitForTopLevel(DWORD pid, const wchar_t* className, DWORD ms, DWORD pauseMs = 50) {
  return SampleUntil([&] { return FindVisibleTopLevel(pid, className); },
                     [](HWND found) { return found != nullptr; }, ms, pauseMs);
}

// Sends a message to a window of another process; false if it was not
// handled within `ms` (the program is stuck, or gone).
inline bool SendWaiting(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                        DWORD ms = 10000) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, ms, &ignored) != 0;
}

// Presses a button as a mouse click would and returns at once, so that a
// handler that opens a modal dialog does not block the caller.
inline void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

// Presses a button and returns once its handler has run; false if it had
// not within `ms` (for example because it shows a modal dialog).
inline bool PressAndWait(HWND button, DWORD ms = 10000) {
  return button != nullptr && SendWaiting(button, BM_CLICK, 0, 0, ms);
}

// A started program; ended (if it still runs) when this goes.
class Process {
 public:
  // Starts `commandLine`, in `folder` if one is given. Standard handles,
  // where given, are passed on (they must be inheritable); the others are the
  // child's own.
  explicit Process(std::wstring commandLine, HANDLE input = nullptr, HANDLE output = nullptr,
                   HANDLE error = nullptr, const wchar_t* folder = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    const bool redirected = input != nullptr || output != nullptr || error != nullptr;
    if (redirected) {
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = input;
      startup.hStdOutput = output;
      startup.hStdError = error;
    }
    PROCESS_INFORMATION info{};
    // Wine answers 1359 (internal error) now and then when the new process's
    // loader could not start, as seen on a loaded two-core machine; the same
    // start then works. A program that cannot start fails all three times.
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, redirected, 0, nullptr,
                         folder, &startup, &info)) {
        startError_ = 0;
        break;
      }
      startError_ = GetLastError();
      if (startError_ != ERROR_INTERNAL_ERROR) break;
      Sleep(500);
    }
    if (startError_ != 0) return;
    process_ = OwnedHandle(info.hProcess);
    thread_ = OwnedHandle(info.hThread);
    pid_ = info.dwProcessId;
  }
  ~Process() {
    if (Running()) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), 5000);
    }
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return process_.get() != nullptr; }
  DWORD StartError() const { return startError_; }  // GetLastError() of a failed start
  DWORD Pid() const { return pid_; }
  HANDLE Handle() const { return process_.get(); }
  bool Running() const {
    return Started() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
  }
  // Its exit code once it has ended, or nothing if it still runs after `ms`.
  std::optional<DWORD> WaitForExit(DWORD ms) const {
    if (!Started() || WaitForSingleObject(process_.get(), ms) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
  }

 private:
  OwnedHandle process_;
  OwnedHandle thread_;
  DWORD pid_ = 0;
  DWORD startError_ = 0;
};

}  // namespace e2e
