// Where the Messenger clients keep the colour, spelled out here on their own
// (not taken from the program), so that a wrong path on either side shows.
// Used by the tests, the fuzzer and the benchmark driver.
#pragma once

#include <string>

namespace testing_support::messenger {

inline constexpr char kMsn[] = "Software\\Microsoft\\MSNMessenger";
inline constexpr char kService[] = "Software\\Microsoft\\MessengerService";
inline constexpr char kAccounts[] = "Software\\Microsoft\\MSNMessenger\\PerPassportSettings";
inline constexpr char kValue[] = "IM Color";
inline std::string Account(const std::string& name) { return std::string(kAccounts) + "\\" + name; }

}  // namespace testing_support::messenger
