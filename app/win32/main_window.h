// The Win32 toolkit: Form1's real window and the Toolkit operations its
// handlers call. The window shell (creation, message loop, keyboard, event
// dispatch, DPI changes) is here; the controls' layout, fonts, painting, the
// DPI of the window's screen, the version resource and the error report each
// have a file of their own.
#pragma once

#include "app/form1.h"
#include "app/toolkit.h"
#include "app/win32/accessible_controls.h"
#include "app/win32/form_layout.h"

#include <windows.h>

#include <functional>

namespace varnelo {

class MainWindow final : public Toolkit {
 public:
  explicit MainWindow(HINSTANCE instance);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // Creates the window hidden, runs Form_Load, shows it and runs the message
  // loop until the window is closed. Returns the process exit code.
  int Run(int showCommand);

  // Toolkit
  void SetLabelForeColor(LabelId label, ColorValue color) override;
  ColorValue LabelForeColor(LabelId label) const override;
  void SetLabelCaption(LabelId label, std::wstring_view text) override;
  void MsgBox(std::wstring_view text, MessageKind kind) override;
  VersionNumbers AppVersion() const override;
  HWND WindowHandle() const override;
  HINSTANCE InstanceHandle() const override;
  void EndProgram() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FitClientArea(int dpi);
  bool PressFocusedButtonOnEnter(const MSG& msg);
  // Runs a handler; a toolkit failure inside it is reported and ends the program.
  void Dispatch(const std::function<void()>& handler);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  // The button that had the keyboard focus when the window last lost the
  // activation (to the colour dialog, say); it gets the focus back.
  HWND lastFocus_ = nullptr;
  FormControls controls_;
  AccessibleControls accessible_;  // what screen readers and tooltips say of the controls
  Form1 form_;
};

}  // namespace varnelo
