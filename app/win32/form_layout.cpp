#include "app/win32/form_layout.h"

#include "app/win32/control_ids.h"
#include "app/win32/fonts.h"
#include "app/win32/startup_trace.h"
#include "base/decimal.h"

#include <string>
#include <utility>

namespace varnelo {
namespace {

enum class ControlType { Button, Frame, Label };
enum class TextAlign { Left, Centre };
enum class Container { Form, Frame };

struct ControlLayout {
  int id;
  ControlType type;
  Container container;
  int left, top, width, height;  // twips, relative to the container
  const wchar_t* text;
  FontSpec font;
  ColorValue fore, back;
  TextAlign align;
  int tabIndex;  // Form1's own tab order; the buttons' order is kept by kStacking
};

constexpr BYTE kShiftJis = SHIFTJIS_CHARSET;
constexpr BYTE kAnsi = ANSI_CHARSET;

constexpr ColorValue kBtnFace = kSysColorButtonFace;
constexpr ColorValue kBtnText = kSysColorButtonText;
constexpr ColorValue kRed = 0x000000FF;
constexpr ColorValue kNavy = 0x00800000;

constexpr int kFrameLeft = 120;  // Frame1's position on the form, which its labels are placed in
constexpr int kFrameTop = 960;

// The one place Form1's controls are described.
// clang-format off
constexpr ControlLayout kControls[FormControls::kCount] = {
    {ids::Command1, ControlType::Button, Container::Form, 2280, 1200, 975, 495, L"色 選 択",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, TextAlign::Centre, 5},
    {ids::Frame1, ControlType::Frame, Container::Form, kFrameLeft, kFrameTop, 3255, 1455, L"プレビュー",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, TextAlign::Left, 7},
    {ids::ColorT2, ControlType::Label, Container::Frame, 240, 960, 2775, 255, L"現在設定されている文字色",
     {kGothic, 975, FW_NORMAL, kShiftJis}, kBtnText, kSysColorWindow, TextAlign::Centre, 11},
    {ids::ColorT1, ControlType::Label, Container::Frame, 240, 360, 1695, 255, L"選択された色",
     {kGothic, 975, FW_NORMAL, kShiftJis}, kSysColorWindow, kSysColorWindow, TextAlign::Centre, 10},
    {ids::Label4, ControlType::Label, Container::Frame, 120, 840, 3015, 495, L"",
     {L"Verdana", 900, FW_NORMAL, kAnsi}, kBtnText, kSysColorWindow, TextAlign::Left, 9},
    {ids::Label3, ControlType::Label, Container::Frame, 120, 240, 1935, 495, L"",
     {L"Verdana", 900, FW_NORMAL, kAnsi}, kBtnText, kSysColorWindow, TextAlign::Left, 8},
    {ids::Command3, ControlType::Button, Container::Form, 3480, 1080, 1215, 735, L"設 定",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, TextAlign::Centre, 6},
    {ids::Command2, ControlType::Button, Container::Form, 3480, 1920, 1215, 495, L"閉 じ る",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kBtnText, kBtnFace, TextAlign::Centre, 1},
    {ids::Label1, ControlType::Label, Container::Form, 120, 2520, 4695, 255,
     L"Copyright (C) 2026 The Varnelo developers",
     {L"Verdana", 900, FW_NORMAL, kAnsi}, kSysColorGrayText, kBtnFace, TextAlign::Centre, 4},
    {ids::Label6, ControlType::Label, Container::Form, 4200, 240, 615, 255, L"v1.0.0",
     {L"Arial", 900, FW_NORMAL, kAnsi}, kBtnText, kBtnFace, TextAlign::Left, 3},
    {ids::Label5, ControlType::Label, Container::Form, 120, 600, 3975, 255,
     L"※ 設定した後に開いたウィンドウから適用されます。",
     {kPGothic, 900, FW_NORMAL, kShiftJis}, kRed, kBtnFace, TextAlign::Left, 2},
    {ids::Label2, ControlType::Label, Container::Form, 120, 120, 4695, 375, L"Varnelo",
     {L"Arial", 1275, FW_BOLD, kAnsi}, kNavy, kBtnFace, TextAlign::Left, 0},
};
// clang-format on

// Stacking order of the window's children, front first. The frame's four
// labels sit in front of the frame; the overlaps keep their order (ColorT2
// over Label4, ColorT1 over Label3, Label6 over Label2, Command1 over Frame1);
// and the buttons stand in tab order, which the dialog manager's Tab follows.
constexpr int kStacking[FormControls::kCount] = {
    ids::Label6,   ids::Label2,  ids::Label5,  ids::Label1, ids::Command2, ids::Command1,
    ids::Command3, ids::ColorT2, ids::ColorT1, ids::Label4, ids::Label3,   ids::Frame1};

std::size_t SlotOf(int id) {
  for (std::size_t i = 0; i < FormControls::kCount; ++i) {
    if (kControls[i].id == id) return i;
  }
  throw ToolkitError("no control with id " + Decimal(id));
}

// Labels overlap: Label6 the end of Label2, the preview texts their white
// boxes. The system's label class draws with its parent's clipping
// (CS_PARENTDC), so a label behind another that repaints alone could paint
// over the one in front. Without it each label keeps to the part of it that
// can be seen. The class is this process's own copy: nothing else changes.
void DrawLabelsWithinThemselves(HWND label) {
  const DWORD style = GetClassLongW(label, GCL_STYLE);
  if ((style & CS_PARENTDC) != 0) {
    SetClassLongW(label, GCL_STYLE, static_cast<LONG>(style & ~DWORD{CS_PARENTDC}));
  }
}

// Where a control stands at `dpi`, in the form's client pixels. Edges, not
// sizes, are converted: controls whose edges line up in twips (Command1 and
// the upper white box) line up in pixels at any DPI.
RECT PlaceAt(const ControlLayout& layout, int dpi) {
  const bool inFrame = layout.container == Container::Frame;
  const int left = layout.left + (inFrame ? kFrameLeft : 0);
  const int top = layout.top + (inFrame ? kFrameTop : 0);
  return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
          TwipsToPixels(left + layout.width, dpi), TwipsToPixels(top + layout.height, dpi)};
}

// The controls' fonts at `dpi`, in the order of the layout table.
std::array<GdiObject<HFONT>, FormControls::kCount> FontsAt(int dpi) {
  FontMaker maker(dpi);
  std::array<GdiObject<HFONT>, FormControls::kCount> fonts;
  for (std::size_t i = 0; i < FormControls::kCount; ++i) fonts[i] = maker.Make(kControls[i].font);
  return fonts;
}

// Gives the control its new font; the old one is deleted only then.
void SetFont(Control& control, GdiObject<HFONT> font) {
  SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  control.font = std::move(font);
}

}  // namespace

int FormControls::IdOf(LabelId label) {
  switch (label) {
    case LabelId::ColorT1: return ids::ColorT1;
    case LabelId::ColorT2: return ids::ColorT2;
    case LabelId::Label6: return ids::Label6;
  }
  throw ToolkitError("no such label");
}

Control& FormControls::WithId(int id) { return controls_[SlotOf(id)]; }
const Control& FormControls::WithId(int id) const { return controls_[SlotOf(id)]; }

Control* FormControls::WithHandle(HWND hwnd) {
  for (Control& control : controls_) {
    if (control.hwnd == hwnd) return &control;
  }
  return nullptr;
}

bool FormControls::IsButton(HWND hwnd) const {
  for (std::size_t i = 0; i < kCount; ++i) {
    if (kControls[i].type == ControlType::Button && controls_[i].hwnd == hwnd)
      return hwnd != nullptr;
  }
  return false;
}

void FormControls::Create(HWND form, HINSTANCE instance, int dpi) {
  form_ = form;
  auto fonts = FontsAt(dpi);
  VARNELO_TRACE("fonts");

  // Created front to back: each new child goes behind its siblings, so the
  // stacking order needs no reordering afterwards.
  for (const int id : kStacking) {
    const std::size_t i = SlotOf(id);
    const ControlLayout& layout = kControls[i];
    Control& control = controls_[i];
    control.foreColor = layout.fore;
    control.backColor = layout.back;

    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const wchar_t* windowClass = L"STATIC";
    switch (layout.type) {
      case ControlType::Button:
        windowClass = L"BUTTON";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case ControlType::Frame:
        windowClass = L"BUTTON";
        style |= BS_GROUPBOX;
        break;
      case ControlType::Label:
        style |= SS_NOPREFIX | (layout.align == TextAlign::Centre ? SS_CENTER : SS_LEFT);
        break;
    }
    const RECT place = PlaceAt(layout, dpi);
    control.hwnd = CreateWindowExW(0, windowClass, layout.text, style, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, form,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                   instance, nullptr);
    if (control.hwnd == nullptr) throw ToolkitError("CreateWindowExW (control)");
    if (layout.type == ControlType::Label) DrawLabelsWithinThemselves(control.hwnd);
    SetFont(control, std::move(fonts[i]));
  }
}

void FormControls::ChangeDpi(int dpi) {
  auto fonts = FontsAt(dpi);
  for (std::size_t i = 0; i < kCount; ++i) {
    Control& control = controls_[i];
    const RECT place = PlaceAt(kControls[i], dpi);
    if (!SetWindowPos(control.hwnd, nullptr, place.left, place.top, place.right - place.left,
                      place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW)) {
      throw ToolkitError("SetWindowPos (control)");
    }
    SetFont(control, std::move(fonts[i]));
  }
  // Drawn once, all together, when every control has its place and font.
  RedrawWindow(form_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace varnelo
