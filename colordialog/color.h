// Module Color: the system colour dialog.
#pragma once

#include "base/program_instance.h"

#include <windows.h>

#include <cstdint>

namespace Color {

// Shows the modal colour dialog (ChooseColorA) over `hwndOwner`, opening on
// black with 16 black custom colours, and returns the confirmed colour as
// 0x00BBGGRR. Returns 0 when the user cancels or closes it, when the dialog
// cannot be shown, and for black; -2 for a colour above 0xFFFFFF in a signed
// comparison. The instance handle comes from `app`; if that fails the error
// passes to the caller. Nothing is kept between calls.
[[nodiscard]] std::int32_t PickColor(HWND hwndOwner, const varnelo::ProgramInstance& app);

}  // namespace Color
