// A colour as text, for those who cannot tell it from the samples: what a
// screen reader reads out for the two samples and 設 定, and what the
// samples' tooltips show. Pure: no window, no registry.
#pragma once

#include "base/color_value.h"

#include <optional>
#include <string>
#include <string_view>

namespace varnelo {

// "#RRGGBB" or "RRGGBB" (hex digits in either case) to the stored 0x00BBGGRR;
// nullopt for anything else.
[[nodiscard]] std::optional<ColorValue> ParseWebColor(std::wstring_view text);
// The stored 0x00BBGGRR as "#RRGGBB", upper-case digits; only the low 24 bits count.
[[nodiscard]] std::string WebColor(ColorValue color);

// The GetSysColor index a colour refers to (0x80000000 plus an index up to
// COLOR_MENUBAR, 30), or nothing for any other value, which draws as its low
// 24 bits.
[[nodiscard]] std::optional<int> SystemColorIndex(ColorValue color);

// The plain Japanese name of the colour in a table of 25 ("赤", "紺",
// "灰色", ...) nearest to the colour that `color` draws as (its low 24
// bits), by the CIE76 distance in CIELAB (D65); nullptr when the nearest is
// farther than kNameDistance.
[[nodiscard]] const wchar_t* NearestColorName(ColorValue color);
// How far a colour may be from a name's colour and still be called by it: a
// CIE76 distance of 25 (2.3 is about the least difference an eye can see).
inline constexpr double kNameDistance = 25.0;

// The sample's value: "#RRGGBB" for a colour (web order, as /get prints it),
// "なし" for a system-colour reference, which is no Messenger colour.
[[nodiscard]] std::wstring ColorValueText(ColorValue color);

// The contrast of the colour a value draws as (its low 24 bits) against
// white, where the other person's conversation window draws it: the WCAG 2
// contrast ratio of the two relative luminances, in hundredths rounded down
// (2100 for black, 100 for white).
[[nodiscard]] int ContrastWithWhite(ColorValue color);
// Text on white at 4.5:1 or more reads well; under 3:1 it is hard to read.
enum class Readability { Good, Fair, Poor };
[[nodiscard]] Readability ReadabilityOf(int contrast);
// A contrast in hundredths as a figure without trailing zeros: "4.5",
// "1.05", "21".
[[nodiscard]] std::string ContrastFigure(int contrast);

// The colour in words: "紫。赤 128、緑 0、青 128。白い背景とのコントラスト比
// 9.41 対 1", without the name when no name is close, with 「やや読みにくい」 or
// 「読みにくい」 after a contrast under 4.5:1 or 3:1; a system-colour
// reference as "まだ Messenger の色を表示していません".
[[nodiscard]] std::wstring ColorInWords(ColorValue color);

// What the sample's tooltip shows: the value, then the words.
[[nodiscard]] std::wstring ColorTip(ColorValue color);

// What 設 定 would write with `selected` in the selected-colour sample: the
// colour and its words, or that nothing is written while it holds no
// Messenger colour.
[[nodiscard]] std::wstring ApplyDescription(ColorValue selected);

// A button's caption as one word: "閉 じ る" spaced out for the eye reads
// "閉じる" (spoken letter by letter otherwise).
[[nodiscard]] std::wstring SpokenCaption(std::wstring_view caption);

}  // namespace varnelo
