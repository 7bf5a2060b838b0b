// Whole numbers as decimal text. std::to_string and std::to_wstring format
// through MinGW's printf engines, which bring their floating-point formatting
// (tens of KiB) into the exe for a few integers; this does not.
#pragma once

#include <concepts>
#include <string>
#include <type_traits>

namespace varnelo {

// "-42", L"4294967295": the number in decimal digits, a minus sign first when
// it is negative; Char is char or wchar_t.
template <class Char = char, std::integral Number>
std::basic_string<Char> Decimal(Number value) {
  using Magnitude = std::make_unsigned_t<Number>;
  Magnitude magnitude = static_cast<Magnitude>(value);
  bool negative = false;
  if constexpr (std::signed_integral<Number>) negative = value < 0;
  if (negative) magnitude = static_cast<Magnitude>(Magnitude{0} - magnitude);
  Char digits[24];  // 20 digits for 64 bits, and the sign
  Char* first = digits + sizeof digits / sizeof *digits;
  do {
    *--first = static_cast<Char>('0' + magnitude % 10);
    magnitude = static_cast<Magnitude>(magnitude / 10);
  } while (magnitude != 0);
  if (negative) *--first = Char{'-'};
  return std::basic_string<Char>(first, digits + sizeof digits / sizeof *digits);
}

}  // namespace varnelo
