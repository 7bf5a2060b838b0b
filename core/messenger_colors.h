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
std::string ReadColor(std::string keyPath);

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
[[nodiscard]] std::vector<std::string> ReadAccountColors(const std::vector<std::string>& ids,
                                                         const std::vector<bool>& misspelt);

// Messenger counts as installed when either Messenger key holds a colour or
// at least one account key is listed.
[[nodiscard]] bool MessengerInstalled(const std::string& msnColor, const std::string& serviceColor,
                                      std::int32_t accountCount);

// The colour shown at start-up: MSN Messenger's, else Windows Messenger's,
// else the last one in listing order of the account keys' colours; kNotFound
// when none has one. `accountColors` matter only when both keys have none.
[[nodiscard]] std::string ShownColor(const std::string& msnColor, const std::string& serviceColor,
                                     const std::vector<std::string>& accountColors);

// What the program knows of the Messenger locations: what start-up reads,
// and what 設 定 and /set decide where to write by.
struct Profile {
  std::string msnColor = kNotFound;      // MSN Messenger's "IM Color", as colour text
  std::string serviceColor = kNotFound;  // Windows Messenger's
  std::vector<std::string> accountIds;   // the account listing (ListAccounts)
  std::vector<bool> misspelt;            // per listed id
  std::int32_t accountCount = 0;

  [[nodiscard]] bool Installed() const {
    return MessengerInstalled(msnColor, serviceColor, accountCount);
  }
};

// What start-up reads, in this order: MSN Messenger's colour, Windows
// Messenger's, then the account listing.
[[nodiscard]] Profile ReadProfile();

// The status of an account key left alone because its listed name is
// misspelt (see ListAccounts): nothing was tried.
inline constexpr LSTATUS kNameNotSpellable = ERROR_NO_UNICODE_TRANSLATION;

// One place where 設 定 writes "IM Color".
struct ColorLocation {
  std::string keyPath;
  bool mayCreateKey = false;  // the key is created again if it has gone
  bool leftAlone = false;     // an account key listed under a misspelt name
};

// Where 設 定 writes, in this order: MSN Messenger if `msnColor` is a colour
// (設 定 reads it again at the click); Windows Messenger if `serviceColor`
// is (as start-up found it: its key may be created again); each of the first
// `accountCount` listed account keys, only if it exists under the name the
// listing gave, and none whose name is misspelt (those are listed, marked
// leftAlone).
[[nodiscard]] std::vector<ColorLocation> ColorLocations(const Profile& profile);

struct LocationStatus {
  std::string keyPath;
  LSTATUS status = ERROR_SUCCESS;
};

// Writes `colorText` (an explicit colour) as "IM Color" at each of
// ColorLocations(profile), in order. An account key that has gone is not
// created again (ERROR_FILE_NOT_FOUND); one left alone is not touched
// (kNameNotSpellable). A failed write does not stop the others. Returns each
// location, with how it went (ERROR_SUCCESS: written).
[[nodiscard]] std::vector<LocationStatus> WriteColorEverywhere(const std::string& colorText,
                                                               const Profile& profile);

// "IM Color" at one location, for putting it back as it was.
struct SavedColor {
  std::string keyPath;    // below HKEY_CURRENT_USER, in the system's 8-bit code page
  bool present = false;   // false: there was none, and putting it back deletes it
  DWORD type = REG_NONE;  // for a present value: its type and bytes, exactly
  std::vector<BYTE> data;
};

// What a backup must hold so that putting it back undoes whatever 設 定 or
// /set would write now, and nothing else.
struct Backup {
  // Each of ColorLocations(profile) whose key exists, in that order: its
  // value exactly as stored, or its absence. A key that does not exist is
  // not among them: putting it back would create it.
  std::vector<SavedColor> saved;
  // Locations 設 定 and /set cannot write, which the backup need not hold:
  // a misspelt name (kNameNotSpellable), or a key that cannot be opened (its
  // status: access denied, a path too long for the 8-bit calls).
  std::vector<LocationStatus> leftAlone;
  // Locations whose key opened but whose value could not be read: a backup
  // without them is not whole.
  std::vector<LocationStatus> unreadable;
  // Locations whose key does not exist (and so are not among `saved`).
  std::vector<std::string> missingKeys;
};

// Reads the backup of ColorLocations(profile). Only reads.
[[nodiscard]] Backup ReadBackup(const Profile& profile);

// What one 設 定 overwrote, for 元に戻す: the locations it wrote, each as
// it was just before.
struct Overwritten {
  // Each location written whose state was read: its value, or none (also
  // where 設 定 made the key: undo deletes the value and leaves the key).
  std::vector<SavedColor> saved;
  // Locations written whose value could not be read first: they cannot be
  // put back.
  std::vector<LocationStatus> unreadable;

  [[nodiscard]] bool Empty() const { return saved.empty() && unreadable.empty(); }
};

// Of `before` (ReadBackup just before WriteColorEverywhere), the locations
// that `writes` (what it returned) say were written.
[[nodiscard]] Overwritten OverwrittenBy(const Backup& before,
                                        const std::vector<LocationStatus>& writes);

// Puts each of `saved` back as it was (Reg::RestoreRegValueExact): the same
// type and bytes, or no value. No key is created: one that has gone stays
// gone, and is not a failure. Nothing else is touched. Returns the locations
// that could not be put back, with the failing call's status; a failure does
// not stop the others.
[[nodiscard]] std::vector<LocationStatus> PutBack(const std::vector<SavedColor>& saved);

// The colour a start-up would show now, as ShownColor gives it (the account
// keys read only where both Messenger keys have none). Only reads.
[[nodiscard]] std::string ShownColorNow();

}  // namespace varnelo
