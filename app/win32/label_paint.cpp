#include "app/win32/label_paint.h"

#include "app/text_colors.h"
#include "app/win32/control_ids.h"
#include "core/color_words.h"

#include <cstdint>

namespace varnelo {
namespace {

COLORREF Resolve(ColorValue color) {
  if (const auto index = SystemColorIndex(color)) return GetSysColor(*index);
  return static_cast<std::uint32_t>(color) & 0x00FFFFFFu;
}

// Asked at each painting: a scheme switched on or off repaints every window.
bool HighContrastOn() {
  HIGHCONTRASTW scheme{};
  scheme.cbSize = sizeof(scheme);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(scheme), &scheme, 0) != FALSE &&
         (scheme.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool IsSample(const Control& control) {
  const int id = GetDlgCtrlID(control.hwnd);
  return id == ids::ColorT1 || id == ids::ColorT2;
}

}  // namespace

HBRUSH PaintLabelColors(HDC dc, Control& control) {
  SetTextColor(dc, Resolve(DrawnTextColor(control.foreColor, control.backColor, IsSample(control),
                                          HighContrastOn())));
  SetBkColor(dc, Resolve(control.backColor));
  if (const auto index = SystemColorIndex(control.backColor)) return GetSysColorBrush(*index);
  if (control.backBrush.get() == nullptr)
    control.backBrush.reset(CreateSolidBrush(Resolve(control.backColor)));
  return control.backBrush.get();
}

}  // namespace varnelo
