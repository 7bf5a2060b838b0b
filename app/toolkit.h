// What the window's handlers and the colour dialog need of the windowing
// toolkit.
//
// Form1's logic is written against this interface only; the Win32 window
// (app/win32/main_window.cpp) implements it for real and the tests with a
// recording stand-in. Any operation may fail by throwing ToolkitError: handlers do not
// catch it, and the toolkit's event dispatch reports it in its run-time error
// box and ends the program, keeping registry writes already made.
#pragma once

#include "base/color_value.h"
#include "base/error.h"
#include "base/program_instance.h"
#include "base/version_numbers.h"

#include <windows.h>

#include <string_view>

namespace varnelo {

// Form1's labels whose properties change at run time.
enum class LabelId { ColorT1, ColorT2, Label6 };

enum class MessageKind { Plain, Warning };

class ToolkitError : public Error {
 public:
  using Error::Error;
};

class Toolkit : public ProgramInstance {
 public:
  // A label accepts every 32-bit value and gives it back unchanged.
  virtual void SetLabelForeColor(LabelId label, ColorValue colour) = 0;
  virtual ColorValue LabelForeColor(LabelId label) const = 0;
  virtual void SetLabelCaption(LabelId label, std::wstring_view text) = 0;

  // Modal, one OK button, captioned with the program's title; no icon, or
  // the warning icon for something that did not go as asked.
  virtual void MsgBox(std::wstring_view text, MessageKind kind = MessageKind::Plain) = 0;

  // Major, minor and revision: the 1st, 2nd and 4th numbers of the file
  // version in the program's version resource.
  virtual VersionNumbers AppVersion() const = 0;
  virtual HWND WindowHandle() const = 0;
  // InstanceHandle(): see ProgramInstance.

  // Ends the program: no handler of the program runs after it. The Win32
  // toolkit never returns from it; a stand-in may, so callers return at once.
  virtual void EndProgram() = 0;
};

}  // namespace varnelo
