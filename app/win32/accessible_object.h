// A control's standard accessible object (oleacc's CreateStdAccessibleObject)
// with some texts of the program's own in place of the standard ones: what
// AccessibleControls hands a screen reader in answer to WM_GETOBJECT.
#pragma once

#include <oleacc.h>
#include <windows.h>

#include <optional>
#include <string>

namespace varnelo {

// The texts that differ from the standard object's; an empty text leaves the
// standard object's.
struct AccessibleTexts {
  std::wstring value, description;
  bool spokenName = false;  // the name without the caption's spacing
};

// The functions of oleacc, oleaut32 and ole32 that the answer to
// WM_GETOBJECT needs, loaded by full path from the system folder.
struct OleFunctions {
  decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
  decltype(&LresultFromObject) lresultFromObject = nullptr;
  decltype(&SysAllocString) sysAllocString = nullptr;
  decltype(&SysFreeString) sysFreeString = nullptr;
  decltype(&CoInitialize) coInitialize = nullptr;
  decltype(&CoUninitialize) coUninitialize = nullptr;
  bool Load();  // all of them, or false
};

// Where the wrapped object asks, at each call, for a control's texts:
// nullopt once the control's window has gone.
using TextsSource = std::optional<AccessibleTexts> (*)(HWND control);

// The answer to WM_GETOBJECT (OBJID_CLIENT, `wParam` as received) for
// `control`: its standard object wrapped so that name, value and description
// come from `texts`, everything else from the standard object; 0 when the
// standard object cannot be had. `ole` must be loaded, and this thread in a
// COM apartment.
[[nodiscard]] LRESULT AnswerWithTexts(HWND control, WPARAM wParam, const OleFunctions& ole,
                                      TextsSource texts);

}  // namespace varnelo
