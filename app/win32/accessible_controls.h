// What a screen reader is told of Form1's two samples and three buttons, and
// the samples' tooltips.
//
// Each of the five controls answers WM_GETOBJECT (OBJID_CLIENT) with the
// system's standard accessible object for it, wrapped: a sample's value is its
// colour as #RRGGBB and its description the colour in words; a button's name
// is its caption without the spacing ("閉じる"), and 設 定's description says
// what it would write (core/color_words.h). Everything else is the standard
// object's. Nothing is loaded at start-up: oleacc, oleaut32 and ole32 come
// from the system folder, by full path, with the first WM_GETOBJECT; the
// tooltip window with the mouse's first move over a sample.
#pragma once

#include "app/win32/accessible_object.h"
#include "app/win32/form_layout.h"

#include <oleacc.h>
#include <windows.h>

#include <array>
#include <string>

namespace varnelo {

class AccessibleControls {
 public:
  AccessibleControls() = default;
  AccessibleControls(const AccessibleControls&) = delete;
  AccessibleControls& operator=(const AccessibleControls&) = delete;
  // Given back when the window has gone: the controls' own procedures stay
  // with their windows. The COM apartment opened for the first WM_GETOBJECT
  // is closed here.
  ~AccessibleControls();

  // Puts itself before the window procedures of the samples and the buttons
  // of `controls`, which must be created and outlive them. Costs a few
  // SetWindowLongPtr calls.
  void Attach(FormControls& controls);

  // After a sample's colour has changed: its value and description are new
  // (and, for the selected colour, 設 定's description), so clients that
  // listen for it (SetWinEventHook) read them again.
  void ColorChanged(HWND sample) const;

  // The AccessibleControls attached to `hwnd`, or nullptr once its window has gone.
  static const AccessibleControls* Of(HWND hwnd);
  // The texts that differ from the standard object's, for the control `hwnd` now.
  AccessibleTexts TextsFor(HWND hwnd) const;

 private:
  struct Subclassed {
    HWND hwnd = nullptr;
    WNDPROC original = nullptr;
  };
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(const Subclassed& control, UINT message, WPARAM wParam, LPARAM lParam);
  const Subclassed* Find(HWND hwnd) const;
  bool IsSample(HWND hwnd) const;
  LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam);
  void ShowTipsFrom(HWND sample);

  FormControls* controls_ = nullptr;
  std::array<Subclassed, 5> subclassed_{};  // ColorT1, ColorT2, Command1, Command2, Command3
  HWND tooltip_ = nullptr;                  // destroyed by the system with the window that owns it
  std::wstring tip_;                        // the text the tooltip asked for last
  OleFunctions ole_;
  bool oleTried_ = false, oleLoaded_ = false;  // with the first WM_GETOBJECT
  bool comOpened_ = false;  // CoInitialize succeeded here: CoUninitialize when done
};

}  // namespace varnelo
