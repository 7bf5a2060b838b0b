#include "app/win32/accessible_controls.h"

#include "app/win32/control_ids.h"
#include "core/color_words.h"

#include <commctrl.h>
#include <oleacc.h>

#include <optional>

namespace varnelo {
namespace {

// The texts of a control that has AccessibleControls attached, or nullopt
// once its window has gone.
std::optional<AccessibleTexts> TextsOfControl(HWND hwnd) {
  const AccessibleControls* owner = AccessibleControls::Of(hwnd);
  if (owner == nullptr) return std::nullopt;
  return owner->TextsFor(hwnd);
}

}  // namespace

AccessibleControls::~AccessibleControls() {
  if (comOpened_) ole_.coUninitialize();
}

void AccessibleControls::Attach(FormControls& controls) {
  controls_ = &controls;
  const int ids[] = {ids::ColorT1, ids::ColorT2, ids::Command1, ids::Command2, ids::Command3};
  for (std::size_t i = 0; i < subclassed_.size(); ++i) {
    Subclassed& control = subclassed_[i];
    control.hwnd = controls.WithId(ids[i]).hwnd;
    // The system's STATIC and BUTTON classes leave GWLP_USERDATA to the program.
    SetWindowLongPtrW(control.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    control.original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AccessibleControls::ControlProc)));
  }
}

void AccessibleControls::ColorChanged(HWND sample) const {
  // Nothing to tell before the window is shown (Form_Load): a client reads
  // the colours when it first meets the window.
  if (controls_ == nullptr || !IsWindowVisible(sample)) return;
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, sample, OBJID_CLIENT, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, sample, OBJID_CLIENT, CHILDID_SELF);
  if (sample == controls_->WithId(ids::ColorT1).hwnd) {
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, controls_->WithId(ids::Command3).hwnd,
                   OBJID_CLIENT, CHILDID_SELF);
  }
}

const AccessibleControls* AccessibleControls::Of(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  return reinterpret_cast<const AccessibleControls*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

AccessibleTexts AccessibleControls::TextsFor(HWND hwnd) const {
  const int id = GetDlgCtrlID(hwnd);
  if (id == ids::ColorT1 || id == ids::ColorT2) {
    const ColorValue color = controls_->WithId(id).foreColor;
    return {ColorValueText(color), ColorInWords(color), false};
  }
  if (id == ids::Command3) {
    return {L"", ApplyDescription(controls_->WithId(ids::ColorT1).foreColor), true};
  }
  return {L"", L"", true};  // 色 選 択, 閉 じ る
}

const AccessibleControls::Subclassed* AccessibleControls::Find(HWND hwnd) const {
  for (const Subclassed& control : subclassed_) {
    if (control.hwnd == hwnd) return &control;
  }
  return nullptr;
}

bool AccessibleControls::IsSample(HWND hwnd) const {
  return hwnd == subclassed_[0].hwnd || hwnd == subclassed_[1].hwnd;
}

LRESULT CALLBACK AccessibleControls::ControlProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  auto* self = reinterpret_cast<AccessibleControls*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const Subclassed* control = self != nullptr ? self->Find(hwnd) : nullptr;
  if (control == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);  // never attached
  return self->Handle(*control, message, wParam, lParam);
}

LRESULT AccessibleControls::Handle(const Subclassed& control, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  const HWND hwnd = control.hwnd;
  switch (message) {
    case WM_GETOBJECT:
      // lParam is a 32-bit object id, whatever the width of LPARAM.
      if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
        // A failure comes back as a negative HRESULT: the standard object then.
        const LRESULT answer = AnswerGetObject(hwnd, wParam);
        if (answer != 0 && SUCCEEDED(static_cast<HRESULT>(answer))) return answer;
      }
      break;
    case WM_NCHITTEST:
      // A label lets the mouse through to what is behind it; a sample takes
      // it, so that its tooltip sees the mouse. Clicks on it do nothing.
      if (IsSample(hwnd)) return HTCLIENT;
      break;
    case WM_MOUSEMOVE:
      if (IsSample(hwnd) && tooltip_ == nullptr) ShowTipsFrom(hwnd);
      break;
    case WM_NOTIFY: {
      // The tooltip asks the sample under the mouse for its text.
      auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
      if (tip->hdr.hwndFrom == tooltip_ && tip->hdr.code == TTN_GETDISPINFOW) {
        tip_ = ColorTip(controls_->WithId(GetDlgCtrlID(hwnd)).foreColor);
        tip->lpszText = tip_.data();
        return 0;
      }
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        0);  // AccessibleControl objects still held see it gone
      break;
    default: break;
  }
  return CallWindowProcW(control.original, hwnd, message, wParam, lParam);
}

LRESULT AccessibleControls::AnswerGetObject(HWND hwnd, WPARAM wParam) {
  if (!oleTried_) {
    oleTried_ = true;
    oleLoaded_ = ole_.Load();
    // The object is handed out through COM: this thread needs an apartment,
    // kept until the window has gone. Already open: S_FALSE, also to be
    // closed once.
    if (oleLoaded_) comOpened_ = SUCCEEDED(ole_.coInitialize(nullptr));
  }
  if (!oleLoaded_) return 0;
  return AnswerWithTexts(hwnd, wParam, ole_, &TextsOfControl);
}

void AccessibleControls::ShowTipsFrom(HWND sample) {
  const HWND form = GetParent(sample);
  const INITCOMMONCONTROLSEX tips{sizeof(tips), ICC_BAR_CLASSES};  // the tooltip class
  InitCommonControlsEx(&tips);
  tooltip_ = CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE)), nullptr);
  if (tooltip_ == nullptr) return;
  for (const HWND each : {subclassed_[0].hwnd, subclassed_[1].hwnd}) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = each;  // asked for the text (TTN_GETDISPINFOW, above)
    tool.uId = reinterpret_cast<UINT_PTR>(each);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

}  // namespace varnelo
