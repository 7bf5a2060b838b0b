// Where the two Messenger clients keep the colour of the user's own text, and
// the rules by which it is read and written. Form1's handlers and the command
// line both go through here, so the two cannot disagree.
#pragma once

#include "base/color_value.h"

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
// least one (left as it was when there is none). `misspelt` is rebuilt
// alongside: true where the listed name is not the key's own, because the
// system's 8-bit code page cannot spell it ('?' or a look-alike in place of
// a character it lacks). Such a name may be the path of another key, or of
// none: the program neither reads nor writes under it.
std::int32_t ListAccounts(std::vector<std::string>& ids, std::vector<bool>& misspelt);
std::string AccountKeyPath(const std::string& id);
// The colour of each listed account key, in listing order; kNotFound for a
// misspelt one, which is not read.
std::vector<std::string> ReadAccountColors(const std::vector<std::string>& ids,
                                           const std::vector<bool>& misspelt);

// Messenger counts as installed when either Messenger key holds a colour or
// at least one account key is listed.
bool MessengerInstalled(const std::string& msnColor, const std::string& serviceColor,
                        std::int32_t accountCount);

// The colour shown at start-up: MSN Messenger's, else Windows Messenger's,
// else the last one in listing order of the account keys' colours; kNotFound
// when none has one. `accountColors` matter only when both keys have none.
std::string ShownColor(const std::string& msnColor, const std::string& serviceColor,
                       const std::vector<std::string>& accountColors);

// The status of an account key left alone because its listed name is
// misspelt (see ListAccounts): nothing was tried.
inline constexpr LSTATUS kNameNotSpellable = ERROR_NO_UNICODE_TRANSLATION;

// One place where 設 定 writes "IM Color".
struct ColorLocation {
  std::string keyPath;
  bool mayCreateKey = false;  // the key is created again if it has gone
  bool leftAlone = false;     // an account key listed under a misspelt name
};

// Where 設 定 writes, in this order: MSN Messenger if `msnColorNow` is a
// colour; Windows Messenger if `serviceColorAtStartup` was (its key may be
// created again); each of the first `accountCount` listed account keys, only
// if it exists under the name the listing gave, and none whose name is
// misspelt (those are listed, marked leftAlone).
std::vector<ColorLocation> ColorLocations(const std::string& msnColorNow,
                                          const std::string& serviceColorAtStartup,
                                          const std::vector<std::string>& accountIds,
                                          const std::vector<bool>& misspelt,
                                          std::int32_t accountCount);

struct LocationWrite {
  std::string keyPath;
  LSTATUS status = ERROR_SUCCESS;  // ERROR_SUCCESS: written
};

// Writes `colorText` (an explicit colour) as "IM Color" at each of
// ColorLocations(...), in order. An account key that has gone is not created
// again (ERROR_FILE_NOT_FOUND); one left alone is not touched
// (kNameNotSpellable). A failed write does not stop the others. Returns each
// location, with how it went.
std::vector<LocationWrite> WriteColorEverywhere(const std::string& colorText,
                                                const std::string& msnColorNow,
                                                const std::string& serviceColorAtStartup,
                                                const std::vector<std::string>& accountIds,
                                                const std::vector<bool>& misspelt,
                                                std::int32_t accountCount);

}  // namespace varnelo
