// Where the two Messenger clients keep the colour of the user's own text, and
// the rules by which it is read and written. Form1's handlers and the command
// line both go through here, so the two cannot disagree.
#pragma once

#include "base/color_value.h"
#include "registry/reg.h"

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

// "IM Color" under `keyPath` exactly as stored (Reg::ReadRegValueExact).
[[nodiscard]] Reg::ExactValue ReadColorExactly(const std::string& keyPath);

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

// What 設 定 or /set did at one location.
struct ColorWrite {
  std::string keyPath;
  LSTATUS status = ERROR_SUCCESS;  // ERROR_SUCCESS: written
  Reg::ExactValue before;          // just before the write, read through the key it opened
};

// Writes `colorText` (an explicit colour) as "IM Color" at each of
// ColorLocations(profile), in order, each through one open of its key that
// also reads what it replaces. An account key that has gone is not created
// again (ERROR_FILE_NOT_FOUND); one left alone is not touched
// (kNameNotSpellable). A failed write does not stop the others. Returns each
// location, with how it went.
[[nodiscard]] std::vector<ColorWrite> WriteColorEverywhere(const std::string& colorText,
                                                           const Profile& profile);

// The locations not written, with why; none when every write succeeded.
[[nodiscard]] std::vector<LocationStatus> NotWritten(const std::vector<ColorWrite>& writes);

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

// One location that one 設 定 changed, for 元に戻す: its value just before
// and the value written there.
struct ColorChange {
  std::string keyPath;
  Reg::ExactValue before;   // Failed: it could not be read, so it cannot be put back
  Reg::ExactValue written;  // REG_BINARY, the colour's 4 bytes
};

// What `writes` (of `colorText`) changed: the locations written that did not
// already hold exactly what was written, in the order written. A 設 定 that
// changed nothing has nothing to undo.
[[nodiscard]] std::vector<ColorChange> ChangesMade(std::vector<ColorWrite> writes,
                                                   const std::string& colorText);

// How putting back one 設 定's changes went.
struct PutBackResult {
  std::size_t putBack = 0;                    // locations as they were before 設 定 again
  std::vector<ColorChange> stillToUndo;       // the write-back failed: it may be tried again
  std::vector<LocationStatus> failed;         // the same, with the failing call's status
  std::vector<LocationStatus> changedSince;   // no longer what 設 定 wrote (or gone): left as is
  std::vector<LocationStatus> unknownBefore;  // not read before 設 定: left as is
};

// Puts each change back where the value is still exactly what 設 定 wrote,
// through one open of its key (Reg::RestoreRegValueExact): the same type and
// bytes as before, or no value. Creates no key. Anywhere else (another
// program has changed or deleted it since) nothing is written. A failure
// does not stop the others.
[[nodiscard]] PutBackResult PutBack(std::vector<ColorChange> changes);

// The colour a start-up would show now, as ShownColor gives it (the account
// keys read only where both Messenger keys have none). Only reads.
[[nodiscard]] std::string ShownColorNow();

}  // namespace varnelo
