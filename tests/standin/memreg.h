// The in-memory registry behind the host build's Reg* functions, and the
// controls tests have over it. It answers with the status codes Windows (and
// Wine) give: 234 for a key path over 260 characters, 2 for a missing key or value, 5 for a refused
// right, 234 for a buffer too small, 259 past the last subkey, 6 for a handle that is not open,
// 1018 for a key deleted while open. Key and value names compare without
// regard to ASCII case; subkeys enumerate sorted by their lower-cased names
// (as Wine lists them: "_" before "A"), values in the order they were first
// set. A key name may have up to 256 characters, as in Wine.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace memreg {

// Empties HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, ends a redirection of
// HKEY_CURRENT_USER (RegOverridePredefKey), forgets refused rights, the call
// log and any scripted failure. Keys still open are reported by
// OpenKeyCount() until closed, then forgotten.
void Reset();

// Handles opened and not yet closed (predefined roots do not count).
std::size_t OpenKeyCount();

// Refuses `rights` (KEY_* bits) on an existing key: opening or creating it
// with any of them fails with 5; 0 refuses nothing again (as a new DACL
// replaces the old one). Returns false if the key does not exist.
bool RefuseRights(HKEY root, const std::string& path, REGSAM rights);

// Creates the key `utf8Name` under the existing key `parentPath`, as the
// Unicode functions would. Keys have Unicode names, as on Windows and in
// Wine; the 8-bit functions convert them to and from the system's code page
// (GetACP: 1252, as Latin-1, or 932 where LC_ALL names a Japanese locale,
// with a few of its double-byte characters). A character the code page lacks
// is spelt as Windows and Wine spell it with best fit: as a look-alike where
// there is one (full-width ASCII as ASCII and U+2215 as '/' in 1252, U+00A5
// as '\\' in 932) and as '?' where there is none, so the 8-bit enumeration
// lists the key under a name that opens another key or none. Returns false
// if the parent does not exist.
bool CreateKeyByUnicodeName(HKEY root, const std::string& parentPath, const std::string& utf8Name);

// Makes the n-th (0-based) RegSetValueExA from now on fail with `status`.
void FailSetValueAt(std::size_t n, LSTATUS status);  // RegSetValueExW counts too

// Makes the n-th (0-based) RegQueryValueExW from now on fail with `status`.
void FailQueryValueWAt(std::size_t n, LSTATUS status);

}  // namespace memreg
