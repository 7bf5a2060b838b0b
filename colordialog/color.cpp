#include "colordialog/color.h"

#include "base/system_library.h"

#include <commdlg.h>

#include <array>

namespace Color {

std::int32_t PickColor(HWND hwndOwner, const varnelo::ProgramInstance& app) {
  // The dialog's 16 custom colours belong to this call: all black every time.
  std::array<COLORREF, 16> customColors{};

  CHOOSECOLORA request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = hwndOwner;
  request.hInstance = reinterpret_cast<HWND>(app.InstanceHandle());
  request.lpCustColors = customColors.data();
  request.Flags = CC_RGBINIT;  // opens on rgbResult, which is black

  // The dialog's DLL is loaded on first use, from the system folder: the
  // window does not need it before this button is pressed.
  const auto chooseColor =
      varnelo::SystemFunctionAs<decltype(&ChooseColorA)>(L"comdlg32.dll", "ChooseColorA");
  if (chooseColor == nullptr) return 0;          // the dialog cannot be shown
  if (chooseColor(&request) == FALSE) return 0;  // cancelled, closed or failed

  constexpr std::int32_t kWhite = 255 + 256 * 255 + 65536 * 255;
  const auto colour = static_cast<std::int32_t>(request.rgbResult);
  return colour > kWhite ? -2 : colour;
}

}  // namespace Color
