#include "app/win32/accessible_controls.h"

#include "app/color_words.h"
#include "app/win32/control_ids.h"
#include "base/system_library.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <optional>
#include <utility>

namespace varnelo {
namespace {

using OleFunctions = AccessibleControls::OleFunctions;

// One reference to a COM object, given back once.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller owns (a new object's first one).
  explicit ComPtr(Interface* adopted) : p_(adopted) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  Interface* get() const { return p_; }
  Interface* operator->() const { return p_; }
  // For an out-parameter: only on an empty ComPtr.
  void** receive() { return reinterpret_cast<void**>(&p_); }

 private:
  Interface* p_ = nullptr;
};

// A BSTR freed once, by oleaut32's SysFreeString.
class Bstr {
 public:
  explicit Bstr(decltype(&SysFreeString) free) : free_(free) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() {
    if (text_ != nullptr) free_(text_);
  }
  BSTR* receive() { return &text_; }
  const wchar_t* get() const { return text_ != nullptr ? text_ : L""; }

 private:
  decltype(&SysFreeString) free_;
  BSTR text_ = nullptr;
};

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }


// A control's standard accessible object with the texts of
// AccessibleControls::TextsFor in place of its own. Each call asks the
// window for them, so a client holding the object reads the colour of now;
// once the window has gone, every call is the standard object's.
//
// Ownership is COM's: made by Make() with one reference, which the caller
// holds in a ComPtr; the last Release deletes it, and its ComPtr then
// releases the standard object.
// COM interfaces have no virtual destructor: the object deletes itself, as
// its own final class, and is never deleted through one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AccessibleControl final : public IAccessible {
 public:
  static ComPtr<IAccessible> Make(HWND hwnd, ComPtr<IAccessible>&& standard,
                                  const OleFunctions& ole) {
    return ComPtr<IAccessible>(new AccessibleControl(hwnd, std::move(standard), ole));
  }

  // IUnknown: one object, seen as IUnknown, IDispatch or IAccessible.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: the standard object's (late-bound callers get its texts).
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  // IAccessible: the three texts that differ, the rest the standard object's.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const auto texts = Texts(child);
    if (!texts || !texts->spokenName) return standard_->get_accName(child, name);
    Bstr caption(ole_.sysFreeString);
    if (const HRESULT result = standard_->get_accName(child, caption.receive()); FAILED(result))
      return result;
    return Give(SpokenCaption(caption.get()), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    const auto texts = Texts(child);
    if (!texts || texts->value.empty()) return standard_->get_accValue(child, value);
    return Give(texts->value, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    const auto texts = Texts(child);
    if (!texts || texts->description.empty())
      return standard_->get_accDescription(child, description);
    return Give(texts->description, description);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return standard_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  AccessibleControl(HWND hwnd, ComPtr<IAccessible>&& standard, const OleFunctions& ole)
      : hwnd_(hwnd), standard_(std::move(standard)), ole_(ole) {}
  ~AccessibleControl() = default;

  // The control's own texts now, for the control itself (never a child).
  std::optional<AccessibleControls::Texts> Texts(const VARIANT& child) const {
    const AccessibleControls* owner = AccessibleControls::Of(hwnd_);
    if (owner == nullptr || !IsSelf(child)) return std::nullopt;
    return owner->TextsFor(hwnd_);
  }

  // Gives the caller `text` as a new BSTR, which the caller frees.
  HRESULT Give(const std::wstring& text, BSTR* out) const {
    if (out == nullptr) return E_INVALIDARG;
    *out = ole_.sysAllocString(text.c_str());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  std::atomic<ULONG> references_{1};
  const HWND hwnd_;
  const ComPtr<IAccessible> standard_;
  const OleFunctions ole_;
};
#pragma GCC diagnostic pop

}  // namespace

AccessibleControls::~AccessibleControls() {
  if (comOpened_) ole_.coUninitialize();
}

bool AccessibleControls::OleFunctions::Load() {
  createStdAccessibleObject = SystemFunctionAs<decltype(createStdAccessibleObject)>(
      L"oleacc.dll", "CreateStdAccessibleObject");
  lresultFromObject =
      SystemFunctionAs<decltype(lresultFromObject)>(L"oleacc.dll", "LresultFromObject");
  sysAllocString = SystemFunctionAs<decltype(sysAllocString)>(L"oleaut32.dll", "SysAllocString");
  sysFreeString = SystemFunctionAs<decltype(sysFreeString)>(L"oleaut32.dll", "SysFreeString");
  coInitialize = SystemFunctionAs<decltype(coInitialize)>(L"ole32.dll", "CoInitialize");
  coUninitialize = SystemFunctionAs<decltype(coUninitialize)>(L"ole32.dll", "CoUninitialize");
  return createStdAccessibleObject && lresultFromObject && sysAllocString && sysFreeString &&
         coInitialize && coUninitialize;
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

AccessibleControls::Texts AccessibleControls::TextsFor(HWND hwnd) const {
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
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);  // AccessibleControl objects still held see it gone
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
  const OleFunctions& ole = ole_;
  ComPtr<IAccessible> standard;
  if (FAILED(ole.createStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                           standard.receive()))) {
    return 0;
  }
  const ComPtr<IAccessible> wrapped = AccessibleControl::Make(hwnd, std::move(standard), ole);
  return ole.lresultFromObject(__uuidof(IAccessible), wParam, wrapped.get());
}

void AccessibleControls::ShowTipsFrom(HWND sample) {
  const HWND form = GetParent(sample);
  const INITCOMMONCONTROLSEX tips{sizeof(tips), ICC_BAR_CLASSES};  // the tooltip class
  InitCommonControlsEx(&tips);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE)),
                             nullptr);
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
