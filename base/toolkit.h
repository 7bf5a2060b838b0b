// What the window's handlers and the colour dialog need of the windowing
// toolkit.
//
// Form1's logic is written against this interface only; the Win32 window
// (app/main_window.cpp) implements it for real and the tests with a recording
// stand-in. Any operation may fail by throwing ToolkitError: handlers do not
// catch it, and the toolkit's event dispatch reports it in its run-time error
// box and ends the program, keeping registry writes already made.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace varnelo {

// A colour property: an explicit 0x00BBGGRR colour, or 0x80000000 plus a
// GetSysColor index, resolved only when drawn.
using ColorValue = std::int32_t;

inline constexpr ColorValue kSysColorWindow = static_cast<ColorValue>(0x80000005u);  // COLOR_WINDOW
inline constexpr ColorValue kSysColorGrayText =
    static_cast<ColorValue>(0x80000011u);  // COLOR_GRAYTEXT

// The labels whose properties change at run time.
enum class LabelId { ColorT1, ColorT2, Label6 };

struct VersionNumbers {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;
};

// The version as the window's version label shows it: "v1.5.1".
inline std::wstring VersionCaption(const VersionNumbers& version) {
  return L"v" + std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
         std::to_wstring(version.revision);
}

class ToolkitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // A label accepts every 32-bit value and gives it back unchanged.
  virtual void SetLabelForeColor(LabelId label, ColorValue colour) = 0;
  virtual ColorValue LabelForeColor(LabelId label) const = 0;
  virtual void SetLabelCaption(LabelId label, std::wstring_view text) = 0;

  // Modal, one OK button, no icon, captioned with the program's title.
  virtual void MsgBox(std::wstring_view text) = 0;

  // Major, minor and revision: the 1st, 2nd and 4th numbers of the file
  // version in the program's version resource.
  virtual VersionNumbers AppVersion() const = 0;
  virtual HWND WindowHandle() const = 0;
  virtual HINSTANCE InstanceHandle() const = 0;

  // Ends the program: no handler of the program runs after it. The Win32
  // toolkit never returns from it; a stand-in may, so callers return at once.
  virtual void EndProgram() = 0;
};

}  // namespace varnelo
