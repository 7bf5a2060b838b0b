#include "app/text_colors.h"

#include "core/color_words.h"

namespace varnelo {

ColorValue DrawnTextColor(ColorValue fore, ColorValue back, bool sample, bool highContrast) {
  if (!highContrast || sample || SystemColorIndex(fore)) return fore;
  return back == kSysColorWindow ? kSysColorWindowText : kSysColorButtonText;
}

}  // namespace varnelo
