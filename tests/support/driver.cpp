#include "support/driver.h"

#include "support/find_window.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

HWND WaitFor(DWORD pid, const wchar_t* className, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    if (HWND hwnd = FindVisibleTopLevel(pid, className)) return hwnd;
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::wstring ExePath() {
  // The build gives a Unix path; Wine maps the whole file system on Z:.
  std::string unixPath = VARNELO_EXE_PATH;
  std::wstring path = L"Z:";
  for (const char c : unixPath) path += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

Varnelo::Varnelo() : Varnelo(ExePath()) {}

Varnelo::Varnelo(const std::wstring& exePath) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    ADD_FAILURE() << "cannot start " << Narrow(commandLine) << ": " << GetLastError();
    return;
  }
  process_ = OwnedHandle(info.hProcess);
  thread_ = OwnedHandle(info.hThread);
  pid_ = info.dwProcessId;
}

Varnelo::~Varnelo() {
  if (process_.get() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

HWND Varnelo::WaitForMainWindow(DWORD ms) {
  main_ = WaitFor(pid_, VARNELO_FORM1_CLASS, ms);
  if (main_) Settle();
  return main_;
}

HWND Varnelo::WaitForDialog(DWORD ms) {
  HWND dialog = WaitFor(pid_, L"#32770", ms);
  if (dialog) Settle();
  return dialog;
}

bool Varnelo::MainWindowVisible() const {
  return FindVisibleTopLevel(pid_, VARNELO_FORM1_CLASS) != nullptr;
}

bool Varnelo::WaitForExit(DWORD ms, DWORD* exitCode) {
  if (!process_.get() || WaitForSingleObject(process_.get(), ms) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(process_.get(), exitCode);
  return true;
}

void Varnelo::Settle() const {
  // Waits until the window's thread answers a sent message (it is back in its
  // message loop), then gives painting a moment. A sent message overtakes
  // posted ones, so this is no proof that a posted click has been handled.
  if (main_) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  }
  Sleep(300);
}

void Varnelo::CloseWithButton() {
  Click(varnelo::ids::Command2);
  DWORD code = 1;
  ASSERT_TRUE(WaitForExit(10000, &code)) << "閉 じ る did not end the program";
  EXPECT_EQ(code, 0u);
}

void Varnelo::Click(int id) const {
  const HWND button = Control(id);
  ASSERT_NE(button, nullptr) << "no control " << id;
  PostMessageW(button, BM_CLICK, 0, 0);
}

std::wstring WindowText(HWND hwnd) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(hwnd, buffer, 1024);
  return buffer;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(hwnd, buffer, 256);
  return buffer;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

Pixels CapturePixels(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  Pixels pixels;
  pixels.width = client.right;
  pixels.height = client.bottom;
  if (pixels.width <= 0 || pixels.height <= 0) return pixels;

  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* raw = static_cast<const DWORD*>(bits);
  pixels.data.resize(static_cast<std::size_t>(pixels.width * pixels.height));
  for (std::size_t i = 0; i < pixels.data.size(); ++i) {
    const DWORD bgrx = raw[i];  // 0x00RRGGBB in a DIB
    pixels.data[i] = RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::set<COLORREF> InkColors(HWND label) {
  const Pixels pixels = CapturePixels(label);
  std::set<COLORREF> ink;
  if (pixels.data.empty()) return ink;
  const COLORREF background = pixels.data.front();
  for (const COLORREF pixel : pixels.data) {
    if (pixel != background) ink.insert(pixel);
  }
  return ink;
}

std::string Narrow(const std::wstring& text) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
  if (length > 1)
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace e2e
