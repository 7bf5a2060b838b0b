// Painting a label in its own colours: the answer to WM_CTLCOLORSTATIC.
#pragma once

#include "app/win32/form_layout.h"

#include <windows.h>

namespace varnelo {

// Sets the text and background colours of `dc` from the control's colour
// properties and returns the brush for its background. A system-colour
// reference (0x80000000 plus an index) is resolved now, when drawn; any other
// value draws as its low 24 bits. Under a high-contrast scheme the title and
// the note draw in the scheme's text colour (DrawnTextColor, app/text_colors.h).
HBRUSH PaintLabelColors(HDC dc, Control& control);

}  // namespace varnelo
