#include "app/win32/accessible_object.h"

#include "base/system_library.h"
#include "core/color_words.h"

#include <atomic>
#include <utility>

namespace varnelo {
namespace {

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

// A control's standard accessible object with the texts its TextsSource
// gives in place of its own. Each call asks for them, so a client holding
// the object reads the colour of now; once the window has gone, every call
// is the standard object's.
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
                                  const OleFunctions& ole, TextsSource texts) {
    return ComPtr<IAccessible>(new AccessibleControl(hwnd, std::move(standard), ole, texts));
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
  AccessibleControl(HWND hwnd, ComPtr<IAccessible>&& standard, const OleFunctions& ole,
                    TextsSource texts)
      : hwnd_(hwnd), standard_(std::move(standard)), ole_(ole), texts_(texts) {}
  ~AccessibleControl() = default;

  // The control's own texts now, for the control itself (never a child).
  std::optional<AccessibleTexts> Texts(const VARIANT& child) const {
    if (!IsSelf(child)) return std::nullopt;
    return texts_(hwnd_);
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
  const TextsSource texts_;
};
#pragma GCC diagnostic pop

}  // namespace

bool OleFunctions::Load() {
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

LRESULT AnswerWithTexts(HWND hwnd, WPARAM wParam, const OleFunctions& ole, TextsSource texts) {
  ComPtr<IAccessible> standard;
  if (FAILED(ole.createStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                           standard.receive()))) {
    return 0;
  }
  const ComPtr<IAccessible> wrapped =
      AccessibleControl::Make(hwnd, std::move(standard), ole, texts);
  return ole.lresultFromObject(__uuidof(IAccessible), wParam, wrapped.get());
}

}  // namespace varnelo
