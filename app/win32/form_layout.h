// Form1's twelve controls on the real window: laid out from one table in
// twips, created at the window's DPI and laid out again when it changes, and
// found by their control id.
#pragma once

#include "app/toolkit.h"
#include "app/win32/gdi_object.h"

#include <windows.h>

#include <array>

namespace varnelo {

// The size of Form1's client area.
inline constexpr int kClientWidthTwips = 4905;
inline constexpr int kClientHeightTwips = 2835;

// Twips (1/1440 inch) to pixels at `dpi`.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// Form1's client area in pixels at `dpi`.
inline SIZE ClientSizeAt(int dpi) {
  return {TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
}

struct Control {
  HWND hwnd = nullptr;
  ColorValue foreColor = 0;
  ColorValue backColor = 0;
  GdiObject<HFONT> font;
  GdiObject<HBRUSH> backBrush;  // only for an explicit background colour
};

class FormControls {
 public:
  static constexpr std::size_t kCount = 12;

  // Creates the controls as children of `form`, stacked front to back as
  // Form1 overlaps them. Throws ToolkitError when a control cannot be made.
  void Create(HWND form, HINSTANCE instance, int dpi);
  // Gives every control its font and its place at `dpi`, as Create does at
  // that DPI; nothing else changes. Throws ToolkitError when a control
  // cannot be moved.
  void ChangeDpi(int dpi);

  // The control with this id (app/win32/control_ids.h); an id that is not one of
  // the twelve throws ToolkitError.
  Control& WithId(int id);
  const Control& WithId(int id) const;
  Control& Label(LabelId label) { return WithId(IdOf(label)); }
  const Control& Label(LabelId label) const { return WithId(IdOf(label)); }
  // The control whose window this is, or nullptr.
  Control* WithHandle(HWND hwnd);
  bool IsButton(HWND hwnd) const;

 private:
  static int IdOf(LabelId label);

  HWND form_ = nullptr;
  std::array<Control, kCount> controls_{};  // in the order of the layout table
};

}  // namespace varnelo
