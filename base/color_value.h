// The colour value the program passes around.
#pragma once

#include <cstdint>

namespace varnelo {

// A colour property: an explicit 0x00BBGGRR colour, or 0x80000000 plus a
// GetSysColor index, resolved only when drawn.
using ColorValue = std::int32_t;

// The system colours the program names, each once.
inline constexpr ColorValue kSysColorWindow = static_cast<ColorValue>(0x80000005u);  // COLOR_WINDOW
inline constexpr ColorValue kSysColorWindowText =
    static_cast<ColorValue>(0x80000008u);  // COLOR_WINDOWTEXT
inline constexpr ColorValue kSysColorButtonFace =
    static_cast<ColorValue>(0x8000000Fu);  // COLOR_BTNFACE
// The labels' own text colour, which the current-colour sample shows when no
// colour was found.
inline constexpr ColorValue kSysColorButtonText =
    static_cast<ColorValue>(0x80000012u);  // COLOR_BTNTEXT
inline constexpr ColorValue kSysColorGrayText =
    static_cast<ColorValue>(0x80000011u);  // COLOR_GRAYTEXT

}  // namespace varnelo
