// 32-bit numbers as the registry stores them in 4 bytes: least significant first.
#pragma once

#include <array>
#include <cstdint>

namespace varnelo {

[[nodiscard]] constexpr std::uint32_t FromLittleEndian(const std::array<std::uint8_t, 4>& bytes) {
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}

[[nodiscard]] constexpr std::array<std::uint8_t, 4> ToLittleEndian(std::uint32_t number) {
  return {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
          static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
}

}  // namespace varnelo
