#include "support/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

namespace e2e {
namespace {

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

// The build gives Unix paths; Wine maps the whole file system on Z:.
std::wstring FromUnix(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (const char c : unixPath) path += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

}  // namespace

std::wstring ExePath() { return FromUnix(VARNELO_EXE_PATH); }
std::wstring ComPath() { return FromUnix(VARNELO_COM_PATH); }

ProjectVersion BuiltVersion() {
  return {VARNELO_VERSION_MAJOR, VARNELO_VERSION_MINOR, VARNELO_VERSION_PATCH,
          VARNELO_VERSION_TWEAK};
}

std::wstring VersionLabel() {
  const ProjectVersion v = BuiltVersion();
  return L"v" + std::to_wstring(v.major) + L"." + std::to_wstring(v.minor) + L"." +
         std::to_wstring(v.tweak);
}

std::wstring VersionText() {
  const ProjectVersion v = BuiltVersion();
  wchar_t text[32] = {};
  std::swprintf(text, std::size(text), L"%u.%02u.%04u", v.major, v.minor, v.tweak);
  return text;
}

Varnelo::Varnelo() : Varnelo(ExePath()) {}

Varnelo::Varnelo(const std::wstring& exePath) : process_(L"\"" + exePath + L"\"") {
  Require(process_.Started(),
          "starting " + Narrow(exePath) + ": error " + std::to_string(process_.StartError()));
}

HWND Varnelo::WaitForMainWindow(DWORD ms) {
  main_ = WaitForTopLevel(Pid(), VARNELO_FORM1_CLASS, ms);
  if (main_) Settle();
  return main_;
}

HWND Varnelo::WaitForDialog(DWORD ms) {
  const HWND dialog = WaitForTopLevel(Pid(), L"#32770", ms);
  if (dialog) Settle();
  return dialog;
}

bool Varnelo::MainWindowVisible() const {
  return FindVisibleTopLevel(Pid(), VARNELO_FORM1_CLASS) != nullptr;
}

void Varnelo::Settle() const {
  // Waits until the window's thread answers a sent message (it is back in its
  // message loop), then gives painting a moment. A sent message overtakes
  // posted ones, so this is no proof that a posted click has been handled.
  if (main_) SendWaiting(main_, WM_NULL, 0, 0, 5000);
  Sleep(300);
}

void Varnelo::CloseWithButton() {
  Click(varnelo::ids::Command2);
  EXPECT_EQ(WaitForExit(10000), 0u) << "閉 じ る did not end the program at once, without error";
}

void Varnelo::Click(int id) const {
  const HWND button = Control(id);
  Require(button != nullptr, "no control " + std::to_string(id));
  e2e::Click(button);
}

// For each item in a picture of a menu, top to bottom, whether the menu's
// text colour is in it: a greyed item's text is drawn in another, as is the
// highlighted item's. An item is a band of at least 3 rows with ink; the
// frame's and the separators' lines and the access keys' underlines are
// thinner.
std::vector<bool> ItemsInMenuText(const Pixels& menu) {
  const COLORREF back = GetSysColor(COLOR_MENU), text = GetSysColor(COLOR_MENUTEXT);
  std::vector<bool> items;
  int rows = 0;
  bool inText = false;
  for (int y = 0; y <= menu.height; ++y) {
    bool ink = false;
    for (int x = 3; y < menu.height && x + 3 < menu.width; ++x) {  // inside the frame
      ink = ink || menu.At(x, y) != back;
      inText = inText || menu.At(x, y) == text;
    }
    if (ink) {
      ++rows;
      continue;
    }
    if (rows >= 3) items.push_back(inText);
    rows = 0;
    inText = false;
  }
  return items;
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  const auto key = [&inputs](WORD vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (const WORD vk : keys) key(vk, 0);
  for (auto vk = std::rbegin(keys); vk != std::rend(keys); ++vk) key(*vk, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MoveMouseTo(HWND window, double x) {
  RECT rect{};
  GetWindowRect(window, &rect);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(rect.left + static_cast<int>((rect.right - rect.left) * x), 65536,
                       GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = MulDiv((rect.top + rect.bottom) / 2, 65536, GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

bool Varnelo::ChooseFromSystemMenu(char accessKey, std::vector<bool>* drawnEnabled) const {
  SetForegroundWindow(main_);
  Require(Eventually([this] { return GetForegroundWindow() == main_; }, 5000),
          "the window did not come to the front");
  const auto menuClosed = [this] { return FindVisibleTopLevel(Pid(), L"#32768") == nullptr; };
  PressKeys({VK_MENU, VK_SPACE});
  Require(Eventually([&] { return !menuClosed(); }, 5000), "Alt+Space opened no menu");
  if (drawnEnabled != nullptr) {
    const HWND menu = FindVisibleTopLevel(Pid(), L"#32768");
    *drawnEnabled =
        SampleUntil([menu] { return ItemsInMenuText(CapturePixels(menu)); },
                    [](const std::vector<bool>& items) { return items.size() > 2; }, 3000);
  }
  PressKeys({static_cast<WORD>(accessKey)});
  return Eventually(menuClosed, 5000);
}

bool ClearedMessengerTest::ApplyAndCheck(Varnelo& app, Tree before, COLORREF colour,
                                         const std::vector<std::string>& written,
                                         const std::vector<std::string>& notWritten) const {
  if (notWritten.empty()) {
    if (!app.PressAndWait(ids::Command3)) return false;
  } else {
    app.Click(ids::Command3);
    if (!AnswerMessage(app, notWritten, true)) return false;
  }
  for (const auto& key : written) SetValue(before, key, kValue, {REG_BINARY, Le32(colour)});
  EXPECT_EQ(hive.ChangesSince(before), "") << "written: the colour where it is due, only there";
  return true;
}

bool AnswerMessage(Varnelo& app, const std::vector<std::string>& keys, bool warning) {
  const HWND box = app.WaitForDialog();
  if (box == nullptr) return false;
  const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
  for (const auto& key : keys) {
    EXPECT_NE(text.find(std::wstring(key.begin(), key.end())), std::wstring::npos)
        << key << " is not named in: " << Narrow(text);
  }
  constexpr int kIcon = 0x0440;  // stc1, the box's icon
  EXPECT_EQ(SendMessageW(GetDlgItem(box, kIcon), STM_GETICON, 0, 0) != 0, warning) << "the icon";
  PressAndWait(GetDlgItem(box, IDOK));
  if (!Eventually([&] { return !IsWindow(box); })) return false;
  app.Settle();  // the command that showed it has finished
  return true;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(hwnd, buffer, 1024);
  return buffer;
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
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
  const ScreenDc screen(GetDC(nullptr));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  // The memory DC goes first, letting go of the bitmap selected into it.
  const Bitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const MemoryDc memory(CreateCompatibleDC(screen.get()));
  Require(bitmap.get() != nullptr && memory.get() != nullptr,
          "a bitmap to capture the screen into");
  SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, pixels.width, pixels.height, screen.get(), origin.x, origin.y,
         SRCCOPY);
  GdiFlush();
  const auto* raw = static_cast<const DWORD*>(bits);
  pixels.data.resize(static_cast<std::size_t>(pixels.width * pixels.height));
  for (std::size_t i = 0; i < pixels.data.size(); ++i) {
    const DWORD bgrx = raw[i];  // 0x00RRGGBB in a DIB
    pixels.data[i] = RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
  }
  return pixels;
}

Ink Area::Colors() const {
  Ink ink;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (pixels->At(x, y) != Background()) ink.insert(pixels->At(x, y));
    }
  }
  return ink;
}

RECT Area::InkBox() const {
  RECT box{rect.right, rect.bottom, rect.left, rect.top};
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (pixels->At(x, y) == Background()) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box;
}

bool Area::CornersAre(COLORREF colour) const {
  return pixels->At(rect.left, rect.top) == colour &&
         pixels->At(rect.right - 1, rect.top) == colour &&
         pixels->At(rect.left, rect.bottom - 1) == colour &&
         pixels->At(rect.right - 1, rect.bottom - 1) == colour;
}

Ink InkColors(HWND label) {
  const Pixels pixels = CapturePixels(label);
  return Area{&pixels, {0, 0, pixels.width, pixels.height}}.Colors();
}

Ink InkOnceDrawn(HWND label, const Ink& expected, DWORD ms) {
  return SampleUntil([&] { return InkColors(label); },
                     [&](const Ink& ink) { return ink == expected; }, ms, 100);
}

Ink InkOf(COLORREF colour) { return colour == RGB(255, 255, 255) ? Ink{} : Ink{colour}; }

}  // namespace e2e
