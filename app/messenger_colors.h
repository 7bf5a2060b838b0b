// Where the two Messenger clients keep the colour of the user's own text, and
// the rules by which it is read and written. Form1's handlers and the command
// line both go through here, so the two cannot disagree.
#pragma once

#include "base/toolkit.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace varnelo {

// Under HKEY_CURRENT_USER.
inline constexpr char kMsnKeyPath[] = "Software\\Microsoft\\MSNMessenger";
inline constexpr char kServiceKeyPath[] = "Software\\Microsoft\\MessengerService";
inline constexpr char kPassportListPath[] =
    "Software\\Microsoft\\MSNMessenger\\PerPassportSettings";
inline constexpr char kColorValueName[] = "IM Color";
// The colour text of a location that has no colour.
inline constexpr char kNotFound[] = "Error";

// Colours travel as the decimal text of their 32-bit value.
std::string ColorText(ColorValue color);
ColorValue ColorFromText(const std::string& text);  // of a text made by ColorText

// True for a colour the Messenger clients can store: 0 to 0xFFFFFF.
bool IsExplicitColor(ColorValue color);

// "IM Color" under `keyPath` as colour text, or kNotFound when the key cannot
// be opened or holds no value that reads as at most 4 bytes.
std::string ReadColor(const std::string& keyPath);

// Lists the account keys: their count, and `ids` rebuilt when there is at
// least one (left as it was when there is none).
std::int32_t ListAccounts(std::vector<std::string>& ids);
std::string AccountKeyPath(const std::string& id);
// The colour of each listed account key, in listing order.
std::vector<std::string> ReadAccountColors(const std::vector<std::string>& ids);

// Messenger counts as installed when either Messenger key holds a colour or
// at least one account key is listed.
bool MessengerInstalled(const std::string& msnColor, const std::string& serviceColor,
                        std::int32_t accountCount);

// The colour shown at start-up: MSN Messenger's, else Windows Messenger's,
// else the last one in listing order of the account keys' colours; kNotFound
// when none has one. `accountColors` matter only when both keys have none.
std::string ShownColor(const std::string& msnColor, const std::string& serviceColor,
                       const std::vector<std::string>& accountColors);

struct LocationWrite {
  std::string keyPath;
  LSTATUS status = ERROR_SUCCESS;  // ERROR_SUCCESS: written
};

// Writes `colorText` (an explicit colour) as "IM Color" where 設 定 writes it,
// in this order: MSN Messenger if `msnColorNow` is a colour; Windows Messenger
// if `serviceColorAtStartup` was (its key is created again if it has gone);
// each of the first `accountCount` listed account keys that exists under the
// name the listing gave. An account key whose name the system's 8-bit code
// page cannot spell is listed with '?' for what it lacks; no key of that
// spelling exists, and none is created: that account is left alone
// (ERROR_FILE_NOT_FOUND). A failed write does not stop the others. Returns
// each location tried, with how it went.
std::vector<LocationWrite> WriteColorEverywhere(const std::string& colorText,
                                                const std::string& msnColorNow,
                                                const std::string& serviceColorAtStartup,
                                                const std::vector<std::string>& accountIds,
                                                std::int32_t accountCount);

}  // namespace varnelo
