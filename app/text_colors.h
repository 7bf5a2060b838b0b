// The colour a label's text is drawn in, decided apart from the drawing so
// that it can be checked without a screen in high contrast.
#pragma once

#include "base/color_value.h"

namespace varnelo {

// What a label with these colour properties draws its text in. Normally its
// own colour. Under a high-contrast scheme (SPI_GETHIGHCONTRAST) a colour the
// program fixed (the navy title, the red note) gives way to the scheme's text
// colour for the label's background: COLOR_WINDOWTEXT on the window colour,
// COLOR_BTNTEXT on anything else. System colours already follow the scheme,
// and a sample keeps the Messenger colour it shows: that colour is its content.
[[nodiscard]] ColorValue DrawnTextColor(ColorValue fore, ColorValue back, bool sample,
                                        bool highContrast);

}  // namespace varnelo
