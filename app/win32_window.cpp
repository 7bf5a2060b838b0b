#include "app/win32_window.h"

#include "app/control_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnelo {

enum class Kind { Button, Frame, Label };
enum class Align { Left, Centre };
enum class Parent { Form, Frame };

struct FontLayout {
  const wchar_t* face;
  int hundredthsOfPoint;  // 975 = 9.75 pt: exact, and scaled once from it
  int weight;
  BYTE charset;
};

struct ControlLayout {
  const wchar_t* name;
  Kind kind;
  Parent parent;
  int left, top, width, height;  // twips, relative to the container
  const wchar_t* text;
  FontLayout font;
  Colour fore, back;
  Align align;
  int tabIndex;
  int id;
};

namespace {

constexpr wchar_t kWindowClass[] = VARNELO_FORM1_CLASS;
constexpr wchar_t kPGothic[] = L"ＭＳ Ｐゴシック";
constexpr wchar_t kGothic[] = L"ＭＳ ゴシック";
constexpr BYTE kShiftJis = SHIFTJIS_CHARSET;
constexpr BYTE kAnsi = ANSI_CHARSET;

constexpr Colour kBtnFace = static_cast<Colour>(0x8000000Fu);  // COLOR_BTNFACE
constexpr Colour kBtnText = static_cast<Colour>(0x80000012u);  // COLOR_BTNTEXT
constexpr Colour kRed = 0x000000FF;
constexpr Colour kNavy = 0x00800000;

constexpr int kClientWidthTwips = 4905;
constexpr int kClientHeightTwips = 2835;
constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 960;

constexpr int kIdCommand1 = ids::Command1;
constexpr int kIdCommand2 = ids::Command2;
constexpr int kIdCommand3 = ids::Command3;

// The one place Form1's controls are described. Listed front to back: where
// two controls overlap, the earlier one is drawn in front.
constexpr ControlLayout kControls[MainWindow::kControlCount] = {
    {L"Command1", Kind::Button, Parent::Form, 2280, 1200, 975, 495, L"色 選 択",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, Align::Centre, 5, kIdCommand1},
    {L"Frame1", Kind::Frame, Parent::Form, 120, 960, 3255, 1455, L"プレビュー",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, Align::Left, 7, ids::Frame1},
    {L"ColorT2", Kind::Label, Parent::Frame, 240, 960, 2775, 255, L"現在設定されている文字色",
     {kGothic, 975, FW_NORMAL, kShiftJis}, kBtnText, kSysColourWindow, Align::Centre, 11, ids::ColorT2},
    {L"ColorT1", Kind::Label, Parent::Frame, 240, 360, 1695, 255, L"選択された色",
     {kGothic, 975, FW_NORMAL, kShiftJis}, kSysColourWindow, kSysColourWindow, Align::Centre, 10, ids::ColorT1},
    {L"Label4", Kind::Label, Parent::Frame, 120, 840, 3015, 495, L"",
     {L"Verdana", 900, FW_NORMAL, kAnsi}, kBtnText, kSysColourWindow, Align::Left, 9, ids::Label4},
    {L"Label3", Kind::Label, Parent::Frame, 120, 240, 1935, 495, L"",
     {L"Verdana", 900, FW_NORMAL, kAnsi}, kBtnText, kSysColourWindow, Align::Left, 8, ids::Label3},
    {L"Command3", Kind::Button, Parent::Form, 3480, 1080, 1215, 735, L"設 定",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, Align::Centre, 6, kIdCommand3},
    {L"Command2", Kind::Button, Parent::Form, 3480, 1920, 1215, 495, L"閉 じ る",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, Align::Centre, 1, kIdCommand2},
    {L"Label1", Kind::Label, Parent::Form, 120, 2520, 4695, 255,
     L"Copyright (C) 2026 The Varnelo developers",
     {L"Verdana", 900, FW_NORMAL, kAnsi}, kSysColourGrayText, kBtnFace, Align::Centre, 4, ids::Label1},
    {L"Label6", Kind::Label, Parent::Form, 4200, 240, 615, 255, L"v1.0.0",
     {L"Arial", 900, FW_NORMAL, kAnsi}, kBtnText, kBtnFace, Align::Left, 3, ids::Label6},
    {L"Label5", Kind::Label, Parent::Form, 120, 600, 3975, 255,
     L"※ 設定した後に開いたウィンドウから適用されます。",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kRed, kBtnFace, Align::Left, 2, ids::Label5},
    {L"Label2", Kind::Label, Parent::Form, 120, 120, 4695, 375, L"Varnelo",
     {L"Arial", 1275, FW_BOLD, kAnsi}, kNavy, kBtnFace, Align::Left, 0, ids::Label2},
};

// Stacking order of the window's children, front first. The frame's four
// labels sit in front of the frame; the overlaps keep their order (ColorT2
// over Label4, ColorT1 over Label3, Label6 over Label2, Command1 over Frame1);
// and the buttons stand in tab order, which the dialog manager's Tab follows.
constexpr const wchar_t* kStacking[MainWindow::kControlCount] = {
    L"Label6", L"Label2", L"Label5", L"Label1", L"Command2", L"Command1",
    L"Command3", L"ColorT2", L"ColorT1", L"Label4", L"Label3", L"Frame1"};

int IndexOf(std::wstring_view name) {
  for (int i = 0; i < MainWindow::kControlCount; ++i) {
    if (name == kControls[i].name) return i;
  }
  return 0;
}

int IndexOf(LabelId label) {
  return IndexOf(label == LabelId::ColorT1   ? L"ColorT1"
                 : label == LabelId::ColorT2 ? L"ColorT2"
                                             : L"Label6");
}

// The GetSysColor index a colour refers to (0x80000000 plus the index), or
// nothing for an explicit colour or any other value.
std::optional<int> SystemColourIndex(Colour colour) {
  const auto raw = static_cast<std::uint32_t>(colour);
  if ((raw & 0x80000000u) == 0 || (raw & 0x7FFFFFFFu) > COLOR_MENUBAR) return std::nullopt;
  return static_cast<int>(raw & 0x7FFFFFFFu);
}

// A system-colour reference is resolved when drawn; any other value draws
// as its low 24 bits.
COLORREF Resolve(Colour colour) {
  if (const auto index = SystemColourIndex(colour)) return GetSysColor(*index);
  return static_cast<std::uint32_t>(colour) & 0x00FFFFFFu;
}


// Labels overlap: Label6 the end of Label2, the preview texts their white
// boxes. The system's label class draws with its parent's clipping
// (CS_PARENTDC), so a label behind another that repaints alone could paint
// over the one in front. Without it each label keeps to the part of it that
// can be seen. The class is this process's own copy: nothing else changes.
void DrawLabelsWithinThemselves(HWND label) {
  const DWORD style = GetClassLongW(label, GCL_STYLE);
  if ((style & CS_PARENTDC) != 0) SetClassLongW(label, GCL_STYLE, static_cast<LONG>(style & ~DWORD{CS_PARENTDC}));
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(HDC dc, const wchar_t* face, BYTE charset) {
  LOGFONTW query{};
  query.lfCharSet = charset;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// The named face, or for a missing Japanese face the first installed one of
// the same pitch that holds Japanese; failing all, GDI's pick for the charset.
std::wstring ChooseFace(HDC dc, const FontLayout& font) {
  if (FaceInstalled(dc, font.face, font.charset)) return font.face;
  if (font.charset != kShiftJis) return font.face;  // GDI substitutes Latin faces well
  const bool fixedPitch = std::wstring_view(font.face) == kGothic;
  // IPA and VL faces are drawn to the metrics of the MS faces, so the texts
  // fit their labels as laid out.
  static const wchar_t* const kProportional[] = {L"MS PGothic", L"IPAPGothic", L"VL PGothic", L"MS UI Gothic", L"Meiryo UI",
                                                 L"Meiryo", L"Yu Gothic UI", L"Noto Sans CJK JP",
                                                 L"Noto Sans JP"};
  static const wchar_t* const kFixed[] = {L"MS Gothic", L"IPAGothic", L"VL Gothic", L"Noto Sans Mono CJK JP",
                                          L"Noto Sans CJK JP", L"MS UI Gothic", L"Meiryo"};
  const std::span<const wchar_t* const> candidates =
      fixedPitch ? std::span<const wchar_t* const>(kFixed) : std::span<const wchar_t* const>(kProportional);
  for (const wchar_t* face : candidates) {
    if (FaceInstalled(dc, face, font.charset)) return face;
  }
  return L"";
}

// Guides GDI's own pick where no named face is installed: ＭＳ ゴシック is
// fixed pitch, the other faces proportional sans-serif.
BYTE PitchAndFamily(const FontLayout& font) {
  if (std::wstring_view(font.face) == kGothic) return FIXED_PITCH | FF_MODERN;
  return VARIABLE_PITCH | FF_SWISS;
}

std::wstring Widen(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return L"";
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

}  // namespace

[[noreturn]] void ReportRuntimeError(HWND owner, const char* what) {
  const std::wstring text = L"実行時エラーが発生したため、プログラムを終了します。\n\n" + Widen(what);
  MessageBoxW(owner, text.c_str(), kAppTitle, MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance), form_(*this) {}

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

int MainWindow::Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }

int MainWindow::Run(int showCommand) {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);

  {
    const HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  // Icon 1, the program file's own; the caption's small icon is made from it.
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassExW(&windowClass) == 0) ReportRuntimeError(nullptr, "RegisterClassExW");

  // Fixed single border, system menu and close box; no minimise or maximise.
  // No WS_CLIPCHILDREN: the frame (a group box) leaves its inside for the
  // window to paint.
  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, Pixels(kClientWidthTwips), Pixels(kClientHeightTwips)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  hwnd_ = CreateWindowExW(0, kWindowClass, kAppTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                          instance_, this);
  if (hwnd_ == nullptr) ReportRuntimeError(nullptr, "CreateWindowExW");
  CreateControls();

  Dispatch([this] { form_.Form_Load(); });

  // Command2 has the lowest tab index among the buttons: it takes the focus
  // when the window is first activated.
  lastFocus_ = controls_[static_cast<std::size_t>(IndexOf(L"Command2"))].hwnd;
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  SetFocus(lastFocus_);

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

void MainWindow::CreateControls() {
  const HDC screen = GetDC(nullptr);
  std::map<std::wstring_view, std::wstring> faces;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlLayout& layout = kControls[i];
    Control& control = controls_[static_cast<std::size_t>(i)];
    control.foreColour = layout.fore;
    control.backColour = layout.back;

    const int left = layout.left + (layout.parent == Parent::Frame ? kFrameLeft : 0);
    const int top = layout.top + (layout.parent == Parent::Frame ? kFrameTop : 0);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const wchar_t* windowClass = L"STATIC";
    switch (layout.kind) {
      case Kind::Button:
        windowClass = L"BUTTON";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case Kind::Frame:
        windowClass = L"BUTTON";
        style |= BS_GROUPBOX;
        break;
      case Kind::Label:
        style |= SS_NOPREFIX | (layout.align == Align::Centre ? SS_CENTER : SS_LEFT);
        break;
    }
    // Edges, not sizes, are converted: controls whose edges line up in twips
    // (Command1 and the upper white box) line up in pixels at any DPI.
    const int x = Pixels(left), y = Pixels(top);
    control.hwnd = CreateWindowExW(0, windowClass, layout.text, style, x, y, Pixels(left + layout.width) - x,
                                   Pixels(top + layout.height) - y, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                   instance_, nullptr);
    if (control.hwnd == nullptr) ReportRuntimeError(hwnd_, "CreateWindowExW (control)");
    if (layout.kind == Kind::Label) DrawLabelsWithinThemselves(control.hwnd);

    // Twelve controls share five faces: look each one up once.
    auto chosen = faces.find(layout.font.face);
    if (chosen == faces.end()) {
      chosen = faces.emplace(layout.font.face, ChooseFace(screen, layout.font)).first;
    }
    const std::wstring& face = chosen->second;
    const int height = -MulDiv(layout.font.hundredthsOfPoint, dpi_, 7200);  // 72 points an inch
    control.font.reset(CreateFontW(height, 0, 0, 0, layout.font.weight, FALSE, FALSE, FALSE,
                                   layout.font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, PitchAndFamily(layout.font), face.c_str()));
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font.get()), FALSE);
  }
  ReleaseDC(nullptr, screen);

  HWND previous = HWND_TOP;  // each control goes just behind the one before it
  for (const wchar_t* name : kStacking) {
    const HWND control = controls_[static_cast<std::size_t>(IndexOf(name))].hwnd;
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
}

bool MainWindow::IsButton(HWND hwnd) const {
  if (hwnd == nullptr) return false;
  for (const int id : {kIdCommand1, kIdCommand2, kIdCommand3}) {
    if (hwnd == GetDlgItem(hwnd_, id)) return true;
  }
  return false;
}

// Enter presses the focused button. The window has no default button, and
// the dialog manager would turn Enter into IDOK, which nothing here answers.
bool MainWindow::PressFocusedButtonOnEnter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
  const HWND focus = GetFocus();
  if (!IsButton(focus)) return false;
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
          case kIdCommand1: Dispatch([this] { form_.Command1_Click(); }); return 0;
          case kIdCommand2: Dispatch([this] { form_.Command2_Click(); }); return 0;
          case kIdCommand3: Dispatch([this] { form_.Command3_Click(); }); return 0;
          default: break;  // IDOK / IDCANCEL from the dialog manager: no default or cancel button
        }
      }
      return 0;
    case WM_ACTIVATE:
      // The focus goes with the activation (to the colour dialog, say): note
      // which button had it. Activated again, the window takes the focus
      // itself (DefWindowProc) and passes it on to that button below, so the
      // keyboard goes on where it was.
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (const HWND focus = GetFocus(); IsButton(focus)) lastFocus_ = focus;
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_SETFOCUS:
      if (lastFocus_ != nullptr) SetFocus(lastFocus_);  // the form itself takes no keys
      return 0;
    case WM_CTLCOLORSTATIC:
      return PaintLabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

LRESULT MainWindow::PaintLabelColours(HDC dc, HWND controlHwnd) {
  for (Control& control : controls_) {
    if (control.hwnd != controlHwnd) continue;
    SetTextColor(dc, Resolve(control.foreColour));
    SetBkColor(dc, Resolve(control.backColour));
    if (const auto index = SystemColourIndex(control.backColour)) {
      return reinterpret_cast<LRESULT>(GetSysColorBrush(*index));
    }
    if (control.backBrush.get() == nullptr) control.backBrush.reset(CreateSolidBrush(Resolve(control.backColour)));
    return reinterpret_cast<LRESULT>(control.backBrush.get());
  }
  return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(controlHwnd));
}

MainWindow::Control& MainWindow::LabelControl(LabelId label) {
  return controls_[static_cast<std::size_t>(IndexOf(label))];
}
const MainWindow::Control& MainWindow::LabelControl(LabelId label) const {
  return controls_[static_cast<std::size_t>(IndexOf(label))];
}

void MainWindow::SetLabelForeColor(LabelId label, Colour colour) {
  Control& control = LabelControl(label);
  control.foreColour = colour;
  InvalidateRect(control.hwnd, nullptr, TRUE);
}

Colour MainWindow::LabelForeColor(LabelId label) const { return LabelControl(label).foreColour; }

void MainWindow::SetLabelCaption(LabelId label, std::wstring_view text) {
  const std::wstring caption(text);
  if (SetWindowTextW(LabelControl(label).hwnd, caption.c_str()) == FALSE) {
    throw ToolkitError("SetWindowTextW");
  }
}

void MainWindow::MsgBox(std::wstring_view text) {
  const std::wstring message(text);
  const std::wstring title = AppTitle();
  MessageBoxW(hwnd_, message.c_str(), title.c_str(), MB_OK);
}

VersionNumbers MainWindow::AppVersion() const {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) throw ToolkitError("GetModuleFileNameW");
  path.resize(length);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) throw ToolkitError("GetFileVersionInfoSizeW");
  std::vector<BYTE> block(size);
  if (GetFileVersionInfoW(path.c_str(), 0, size, block.data()) == FALSE) {
    throw ToolkitError("GetFileVersionInfoW");
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  wchar_t root[] = L"\\";
  if (VerQueryValueW(block.data(), root, reinterpret_cast<void**>(&fixed), &fixedSize) == FALSE ||
      fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    throw ToolkitError("VerQueryValueW");
  }
  return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
          LOWORD(fixed->dwFileVersionLS)};
}

std::wstring MainWindow::AppTitle() const { return kAppTitle; }
HWND MainWindow::WindowHandle() const { return hwnd_; }
HINSTANCE MainWindow::InstanceHandle() const { return instance_; }

void MainWindow::EndProgram() { ExitProcess(0); }

}  // namespace varnelo
