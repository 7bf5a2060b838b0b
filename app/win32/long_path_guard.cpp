#include "app/win32/long_path_guard.h"

namespace varnelo {
namespace {

// cmb13: the file name, an Edit in a ComboBox in a ComboBoxEx32, each with this id.
constexpr int kFileNameCombo = 0x47C;
constexpr std::size_t kExtensionRoom = 4;  // ".reg", which the dialog may add

// The one Save dialog open (it is modal, on the window's one thread).
struct Watched {
  LongPathGuard::FolderShown folderShown = nullptr;
  HWND dialog = nullptr;
  WNDPROC dialogProc = nullptr;
};
Watched watched;

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsAbsolute(const std::wstring& name) {
  return name.starts_with(L'\\') || name.starts_with(L'/') || (name.size() >= 2 && name[1] == L':');
}

// True when the dialog could not hold the path that Save would take.
bool TooLong(HWND dialog) {
  HWND name = nullptr;
  for (HWND inner = GetDlgItem(dialog, kFileNameCombo); name == nullptr && inner != nullptr;
       inner = GetDlgItem(inner, kFileNameCombo)) {
    if (GetDlgItem(inner, kFileNameCombo) == nullptr) name = inner;  // the Edit at the heart
  }
  if (name == nullptr) return false;
  const std::wstring typed = TextOf(name);
  const std::size_t folder = IsAbsolute(typed) ? 0 : watched.folderShown(dialog).size() + 1;
  return folder + typed.size() + kExtensionRoom >= MAX_PATH;
}

LRESULT CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK && TooLong(dialog)) {
    MessageBoxW(dialog,
                L"パスが長すぎます。フォルダーとファイル名を合わせて 255 文字以内にしてください。",
                L"色を保存", MB_OK | MB_ICONWARNING);
    return 0;
  }
  return CallWindowProcW(watched.dialogProc, dialog, message, wParam, lParam);
}

// Takes over the Save dialog's messages when it is first activated.
LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
  const auto window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && watched.dialog == nullptr &&
      GetDlgItem(window, kFileNameCombo) != nullptr) {
    watched.dialog = window;
    watched.dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogProc)));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

LongPathGuard::LongPathGuard(FolderShown folderShown) {
  watched = {folderShown, nullptr, nullptr};
  hook_ = SetWindowsHookExW(WH_CBT, &WatchActivation, nullptr, GetCurrentThreadId());
}

LongPathGuard::~LongPathGuard() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  watched = {};  // the dialog is gone, and its procedure with it
}

}  // namespace varnelo
