// The program's version, as its version resource gives it.
#pragma once

#include "base/decimal.h"

#include <cstdint>
#include <string>

namespace varnelo {

// Major, minor and revision: the 1st, 2nd and 4th numbers of the file version.
struct VersionNumbers {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;
};

// The version as the window's version label shows it: "v1.5.1".
inline std::wstring VersionCaption(const VersionNumbers& version) {
  return L"v" + Decimal<wchar_t>(version.major) + L"." + Decimal<wchar_t>(version.minor) + L"." +
         Decimal<wchar_t>(version.revision);
}

}  // namespace varnelo
