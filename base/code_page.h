// Text in the system's 8-bit code page (what the registry's 8-bit calls take
// and give) as UTF-16, two ways.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnelo {

// Exactly: nullopt where the bytes do not convert (a broken double-byte
// character), so that what comes back names the same thing.
[[nodiscard]] std::optional<std::wstring> WidenExactly(std::string_view text);

// For showing to a person: what does not convert becomes the code page's
// stand-in character. Never fails ("" at worst).
[[nodiscard]] std::wstring WidenForShowing(std::string_view text);

}  // namespace varnelo
