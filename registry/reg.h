// Module Reg: the program's only contact with the Windows registry.
//
// Stateless routines over the 8-bit (A) registry functions (and, to list
// subkeys with their own names, RegEnumKeyExW; to read a value exactly as
// stored and to put it back so, RegQueryValueExW, RegSetValueExW and
// RegDeleteValueW). Each call
// opens its own key and closes it before it returns, whatever happens once
// the key is open. Failures are reported by results alone: the caller's
// default, false, or a short count. No status code is passed on, except by
// WriteRegValueStatus and the routines for exact values, which say what
// failed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace Reg {

// The root key and the kind are taken as `HKEY const&` and `std::int32_t
// const&` on purpose: that is the routines' documented signature, which the
// window's code was written against. Keep it.

// A text (in the system's 8-bit code page) or a 32-bit signed integer.
using RegData = std::variant<std::string, std::int32_t>;

// The value kinds the routines understand; they are the registry's type codes.
inline constexpr std::int32_t KindText = 1;    // REG_SZ
inline constexpr std::int32_t KindBinary = 3;  // written as REG_BINARY, not read
inline constexpr std::int32_t KindNumber = 4;  // read as up to 4 bytes, written as REG_BINARY

// The text a caller sees in a RegData: a number gives its decimal text.
std::string RegDataText(const RegData& data);

// Stores `value` as `valueName` under `keyPath`, creating the key and any
// missing keys above it. Kind 1 stores REG_SZ (text plus one zero byte);
// kinds 3 and 4 store the value's 32-bit integer as 4 REG_BINARY bytes, least
// significant first. Returns true only when the value was stored. A kind 3/4
// value that is not a whole decimal number in the 32-bit range is refused
// before anything is touched. Any other kind creates the key (if missing) and
// stores nothing.
[[nodiscard]] bool WriteRegValue(HKEY const& rootKey, std::string keyPath, std::string valueName,
                                 std::int32_t const& kind, RegData value);

// What a write does where the key does not exist.
enum class IfKeyMissing { Create, Fail };

// A value exactly as the registry holds it, for saving it: its type and its
// bytes, whatever they are.
struct ExactValue {
  enum class Found { Value, NoValue, NoKey, KeyRefused, Failed };
  Found found = Found::NoKey;
  LSTATUS status = ERROR_SUCCESS;  // for KeyRefused and Failed: the failing call's status
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// WriteRegValue with the reason kept: ERROR_SUCCESS when the value was
// stored, else the failing call's status code, or ERROR_INVALID_PARAMETER
// for a value or kind refused before anything was touched (where a kind the
// routine does not serve has still created the key). With
// IfKeyMissing::Fail the key is opened, never created: a missing key gives
// ERROR_FILE_NOT_FOUND and nothing is written. With `replaced`, the value as
// it was just before the write is read through the key opened for it (as
// ReadRegValueExact reads it; NoValue where the write made the key), so that
// one open serves both; it is left NoKey where the key could not be opened.
[[nodiscard]] LSTATUS WriteRegValueStatus(HKEY const& rootKey, const std::string& keyPath,
                                          const std::string& valueName, std::int32_t const& kind,
                                          const RegData& value,
                                          IfKeyMissing ifMissing = IfKeyMissing::Create,
                                          ExactValue* replaced = nullptr);

// Reads `valueName` under `keyPath`. Kind 4 reads at most 4 bytes of any
// type as a little-endian integer (shorter data fills the low bytes); kind 1
// reads at most 256 bytes of any type as text up to the first zero byte.
// Returns `defaultValue` unchanged when the key cannot be opened with access
// 0x3F, the value is missing or too large, or the kind is neither 1 nor 4.
[[nodiscard]] RegData ReadRegValue(HKEY const& rootKey, std::string keyPath, std::string valueName,
                                   std::int32_t const& kind, RegData defaultValue);

// Lists the names of the subkeys of `keyPath` in enumeration order. When it
// finds at least one, `names` is rebuilt to hold exactly those names; when it
// finds none (or cannot open the key) `names` is left as it was and 0 is
// returned. The listing stops at the first name that does not fit in 256
// bytes, or at any other enumeration failure; names before it are kept.
std::int32_t EnumRegSubKeys(HKEY const& rootKey, std::string keyPath,
                            std::vector<std::string>& names);

// EnumRegSubKeys, and for each name listed whether it is the key's own name.
// The 8-bit listing spells a character that the system's code page lacks as
// '?' or as a look-alike ("best fit": a full-width reverse solidus becomes
// '\\'), and a name so misspelt may be the path of another, existing key. Each
// index is listed once, with the Unicode call, and its name converted to the
// code page here as the 8-bit call converts it: `names` and the count are
// EnumRegSubKeys' (a name over 255 bytes in the code page ends the listing).
// `misspelt[i]` is true where the name converted without best fit needs a
// default character or does not convert back to the key's own name.
// `misspelt` is rebuilt alongside `names` (left as it was when no name is
// found).
std::int32_t EnumRegSubKeysChecked(HKEY const& rootKey, std::string keyPath,
                                   std::vector<std::string>& names, std::vector<bool>& misspelt);

// Reads `valueName` under `keyPath` as it is stored: any type, any size. The
// key is opened (never created) for KEY_QUERY_VALUE only; the value is read
// with the Unicode call, which gives text types their stored bytes where the
// 8-bit one would convert them to the code page. NoKey: the key does not
// exist; NoValue: it has no such value; KeyRefused: the key could not be
// opened for anything else (it may not be read, or its path is too long for
// the 8-bit calls), so no write through them can open it either; Failed:
// reading the value failed once the key was open.
[[nodiscard]] ExactValue ReadRegValueExact(HKEY const& rootKey, const std::string& keyPath,
                                           const std::wstring& valueName);

// The status of a put-back refused because the value is no longer the one
// expected: someone else has changed it since.
inline constexpr LSTATUS kValueChangedSince = ERROR_INVALID_DATA;

// Puts back what ReadRegValueExact read: stores `valueName` under `keyPath`
// as `type` and `data` exactly (RegSetValueExW, so text types keep their
// bytes), or with `data` nullptr deletes it (a value already missing is
// ERROR_SUCCESS). The key is opened, never created: a missing key gives
// ERROR_FILE_NOT_FOUND and nothing is written. With `onlyIf`, the value is
// first read through the same key and put back only where it is still
// exactly that (its type and bytes, or its absence); else nothing is written
// and the result is kValueChangedSince, or ERROR_SUCCESS where the value is
// already what was to be put back. Returns the failing call's status,
// or ERROR_SUCCESS.
[[nodiscard]] LSTATUS RestoreRegValueExact(HKEY const& rootKey, const std::string& keyPath,
                                           const std::wstring& valueName, DWORD type,
                                           const std::vector<BYTE>* data,
                                           const ExactValue* onlyIf = nullptr);

// Whether two exact values hold the same: both absent, or both present with
// the same type and bytes.
[[nodiscard]] bool SameValue(const ExactValue& a, const ExactValue& b);

}  // namespace Reg
