// Where the Messenger clients keep the colour, and the colours the tests
// store there, spelled out here on their own (not taken from the program), so
// that a wrong path on either side shows. Used by the tests, the fuzzer and
// the benchmark driver.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support::messenger {

inline constexpr char kMsn[] = "Software\\Microsoft\\MSNMessenger";
inline constexpr char kService[] = "Software\\Microsoft\\MessengerService";
inline constexpr char kAccounts[] = "Software\\Microsoft\\MSNMessenger\\PerPassportSettings";
inline constexpr char kValue[] = "IM Color";
inline std::string Account(const std::string& name) { return std::string(kAccounts) + "\\" + name; }

// Colours as the clients store them and the window draws them: 0x00BBGGRR.
inline constexpr std::int32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
inline constexpr std::int32_t kWhite = 0xFFFFFF, kBlack = 0;

}  // namespace testing_support::messenger
