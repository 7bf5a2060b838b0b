#include "app/win32/label_paint.h"

#include <cstdint>
#include <optional>

namespace varnelo {
namespace {

// The GetSysColor index a colour refers to (0x80000000 plus the index), or
// nothing for an explicit colour or any other value.
std::optional<int> SystemColorIndex(ColorValue color) {
  const auto raw = static_cast<std::uint32_t>(color);
  if ((raw & 0x80000000u) == 0 || (raw & 0x7FFFFFFFu) > COLOR_MENUBAR) return std::nullopt;
  return static_cast<int>(raw & 0x7FFFFFFFu);
}

COLORREF Resolve(ColorValue color) {
  if (const auto index = SystemColorIndex(color)) return GetSysColor(*index);
  return static_cast<std::uint32_t>(color) & 0x00FFFFFFu;
}

}  // namespace

HBRUSH PaintLabelColors(HDC dc, Control& control) {
  SetTextColor(dc, Resolve(control.foreColor));
  SetBkColor(dc, Resolve(control.backColor));
  if (const auto index = SystemColorIndex(control.backColor)) return GetSysColorBrush(*index);
  if (control.backBrush.get() == nullptr)
    control.backBrush.reset(CreateSolidBrush(Resolve(control.backColor)));
  return control.backBrush.get();
}

}  // namespace varnelo
