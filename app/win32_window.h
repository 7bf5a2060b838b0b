// The Win32 toolkit: Form1's real window, its twelve controls, and the
// Toolkit operations the handlers call. Only this file pair and main.cpp
// talk to user32/gdi32.
#pragma once

#include "app/form1.h"
#include "app/toolkit.h"
#include "registry/unique_handle.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <utility>

namespace varnelo {

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

// A GDI object (font, brush) owned by one holder and deleted once.
template <typename Handle>
using GdiObject = UniqueHandle<Handle, DeleteGdiObject>;

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
  void SetLabelForeColor(LabelId label, Colour colour) override;
  Colour LabelForeColor(LabelId label) const override;
  void SetLabelCaption(LabelId label, std::wstring_view text) override;
  void MsgBox(std::wstring_view text) override;
  VersionNumbers AppVersion() const override;
  std::wstring AppTitle() const override;
  HWND WindowHandle() const override;
  HINSTANCE InstanceHandle() const override;
  void EndProgram() override;

  static constexpr int kControlCount = 12;

 private:
  struct Control {
    HWND hwnd = nullptr;
    Colour foreColour = 0;
    Colour backColour = 0;
    GdiObject<HFONT> font;
    GdiObject<HBRUSH> backBrush;  // only for an explicit background colour
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  LRESULT PaintLabelColours(HDC dc, HWND control);
  bool PressFocusedButtonOnEnter(const MSG& msg);
  bool IsButton(HWND hwnd) const;
  // Runs a handler; a toolkit failure inside it is reported and ends the program.
  void Dispatch(const std::function<void()>& handler);
  Control& LabelControl(LabelId label);
  const Control& LabelControl(LabelId label) const;
  int Pixels(int twips) const;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  // The button that had the keyboard focus when the window last lost the
  // activation (to the colour dialog, say); it gets the focus back.
  HWND lastFocus_ = nullptr;
  std::array<Control, kControlCount> controls_{};
  Form1 form_;
};

// The run-time error report: a message box naming what failed, then the
// program ends. Never returns.
[[noreturn]] void ReportRuntimeError(HWND owner, const char* what);

}  // namespace varnelo
