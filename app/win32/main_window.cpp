#include "app/win32/main_window.h"

#include "app/win32/control_ids.h"
#include "app/win32/dpi.h"
#include "app/win32/error_box.h"
#include "app/win32/label_paint.h"
#include "app/win32/save_dialog.h"
#include "app/win32/startup_trace.h"
#include "app/win32/system_menu.h"
#include "app/win32/version_info.h"
#include "app/win32/window_title.h"

#include <commctrl.h>

#include <string>

namespace varnelo {
namespace {

// Fixed single border, system menu and close box; no minimise or maximise.
// No WS_CLIPCHILDREN: the frame (a group box) leaves its inside for the
// window to paint.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

// The window's size for Form1's client area at `dpi`.
SIZE FormSizeAt(int dpi) { return WindowSizeFor(ClientSizeAt(dpi), kStyle, dpi); }

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance), form_(*this) {}

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

int MainWindow::Run(int showCommand) {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  VARNELO_TRACE("common controls");

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  // Icon 1, the program file's own; the caption's small icon is made from it.
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = VARNELO_FORM1_CLASS;
  if (RegisterClassExW(&windowClass) == 0) ReportRuntimeError(nullptr, "RegisterClassExW");
  VARNELO_TRACE("window class, icon");

  // Made at the system's DPI, then fitted to the DPI of the monitor it
  // opened on (where that differs), before anything is drawn.
  const SIZE size = FormSizeAt(SystemDpi());
  hwnd_ = CreateWindowExW(0, VARNELO_FORM1_CLASS, kAppTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          size.cx, size.cy, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) ReportRuntimeError(nullptr, "CreateWindowExW");
  const int dpi = WindowDpi(hwnd_);
  FitClientArea(dpi);
  VARNELO_TRACE("main window");
  AddSystemMenuItems(hwnd_);
  VARNELO_TRACE("system menu");
  Dispatch([this, dpi] { controls_.Create(hwnd_, instance_, dpi); });
  VARNELO_TRACE("twelve controls");
  Dispatch([this] { accessible_.Attach(controls_); });
  VARNELO_TRACE("accessibility: five window procedures");

  Dispatch([this] { form_.Form_Load(); });
  VARNELO_TRACE("Form_Load");

  // Command2 has the lowest tab index among the buttons: it takes the focus
  // when the window is first activated.
  lastFocus_ = controls_.WithId(ids::Command2).hwnd;
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  SetFocus(lastFocus_);
  VARNELO_TRACE("shown and painted");
  VARNELO_TRACE_REPORT();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PressFocusedButtonOnEnter(msg)) continue;
    if (IsDialogMessageW(hwnd_, &msg)) continue;  // Tab, Shift+Tab, Space
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  hwnd_ = nullptr;
  return static_cast<int>(msg.wParam);
}

// Gives the window the client area of Form1 at `dpi`, keeping its top-left
// corner. Where the frame already has the size of that DPI (Windows 10 1703
// on, or a start at the system DPI) there is nothing to do. Windows 8.1 and
// the 10s before 1703 offer at a DPI change a rectangle scaled frame and
// all, though the frame keeps its size; Wine keeps it too: without this the
// client area would come out too small at a lower DPI and cut the copyright
// line, too large at a higher one.
void MainWindow::FitClientArea(int dpi) {
  RECT client{}, frame{};
  GetClientRect(hwnd_, &client);
  GetWindowRect(hwnd_, &frame);
  const SIZE wanted = ClientSizeAt(dpi);
  const LONG wider = wanted.cx - client.right, taller = wanted.cy - client.bottom;
  if (wider == 0 && taller == 0) return;
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + wider,
               frame.bottom - frame.top + taller, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Enter presses the focused button. The window has no default button, and
// the dialog manager would turn Enter into IDOK, which nothing here answers.
bool MainWindow::PressFocusedButtonOnEnter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
  const HWND focus = GetFocus();
  if (!controls_.IsButton(focus)) return false;
  SendMessageW(focus, BM_CLICK, 0, 0);
  return true;
}

void MainWindow::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ReportRuntimeError(hwnd_, error.what());
  }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    ScaleNonClientArea(hwnd);
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
          case ids::Command1:  // opens the colour dialog, at the DPI of the window's monitor
            Dispatch([this] {
              const SystemDialogDpi dialogDpi;
              form_.Command1_Click();
            });
            return 0;
          case ids::Command2: Dispatch([this] { form_.Command2_Click(); }); return 0;
          case ids::Command3: Dispatch([this] { form_.Command3_Click(); }); return 0;
          default: break;  // IDOK / IDCANCEL from the dialog manager: no default or cancel button
        }
      }
      return 0;
    case WM_SYSCOMMAND:
      switch (SystemCommand(wParam)) {
        case kSaveColorsCommand:
          Dispatch([this] {
            if (const std::wstring text = SaveColorsAsked(hwnd_, form_); !text.empty()) {
              MsgBox(text, MessageKind::Warning);
            }
          });
          return 0;
        case kUndoCommand: Dispatch([this] { form_.Undo_Click(); }); return 0;
        default: return DefWindowProcW(hwnd_, message, wParam, lParam);
      }
    case WM_INITMENU:  // the system menu opens: 元に戻す as there is something to undo
      EnableUndoItem(hwnd_, form_.CanUndo());
      return 0;
    case WM_ACTIVATE:
      // The focus goes with the activation (to the colour dialog, say): note
      // which button had it. Activated again, the window takes the focus
      // itself (DefWindowProc) and passes it on to that button below, so the
      // keyboard goes on where it was.
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (const HWND focus = GetFocus(); controls_.IsButton(focus)) lastFocus_ = focus;
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_SETFOCUS:
      if (lastFocus_ != nullptr) SetFocus(lastFocus_);  // the form itself takes no keys
      return 0;
    case WM_CTLCOLORSTATIC:
      if (Control* control = controls_.WithHandle(reinterpret_cast<HWND>(lParam))) {
        return reinterpret_cast<LRESULT>(PaintLabelColors(reinterpret_cast<HDC>(wParam), *control));
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case kWmGetDpiScaledSize:
      // The size a start at that DPI has: Windows' own guess scales the
      // caption and borders with the client area and can be off by pixels.
      *reinterpret_cast<SIZE*>(lParam) = FormSizeAt(static_cast<int>(wParam));
      return TRUE;
    case kWmDpiChanged: {
      // Moved to a monitor of another scale (or its scale changed): fonts
      // and places as at a start at the new DPI, and the rectangle that
      // Windows offers, fitted to the client area. The controls, their texts
      // and colours stay; nothing is written.
      const int dpi = HIWORD(wParam);
      Dispatch([this, dpi] { controls_.ChangeDpi(dpi); });
      const RECT& offered = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, offered.left, offered.top, offered.right - offered.left,
                   offered.bottom - offered.top, SWP_NOZORDER | SWP_NOACTIVATE);
      FitClientArea(dpi);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void MainWindow::SetLabelForeColor(LabelId label, ColorValue color) {
  Control& control = controls_.Label(label);
  const bool changed = control.foreColor != color;
  control.foreColor = color;
  InvalidateRect(control.hwnd, nullptr, TRUE);
  if (changed && label != LabelId::Label6) accessible_.ColorChanged(control.hwnd);
}

ColorValue MainWindow::LabelForeColor(LabelId label) const {
  return controls_.Label(label).foreColor;
}

void MainWindow::SetLabelCaption(LabelId label, std::wstring_view text) {
  const std::wstring caption(text);
  if (SetWindowTextW(controls_.Label(label).hwnd, caption.c_str()) == FALSE) {
    throw ToolkitError("SetWindowTextW");
  }
}

void MainWindow::MsgBox(std::wstring_view text, MessageKind kind) {
  const std::wstring message(text);
  MessageBoxW(hwnd_, message.c_str(), kAppTitle,
              kind == MessageKind::Warning ? MB_OK | MB_ICONWARNING : MB_OK);
}

VersionNumbers MainWindow::AppVersion() const { return ReadVersionResource(instance_); }
HWND MainWindow::WindowHandle() const { return hwnd_; }
HINSTANCE MainWindow::InstanceHandle() const { return instance_; }

void MainWindow::EndProgram() { ExitProcess(0); }

}  // namespace varnelo
