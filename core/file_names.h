// What a file name given on the command line (or chosen in a dialog) names,
// judged from its text alone before anything is opened. Portable.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace varnelo {

// Why a file cannot be written, beside the Windows error codes.
inline constexpr DWORD kErrorIsAFolder = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED (not in MinGW-w64)
inline constexpr DWORD kErrorIsADevice = ERROR_BAD_DEVICE;  // see NamesADevice
// A name Windows allows but the disk cannot hold: under Wine a file name is a
// Linux one, at most kMaxFileNameLength bytes of UTF-8 (an application's own
// code: bit 29 set).
inline constexpr DWORD kErrorNameTooLongOnDisk = 0x20000000 | 1;

// The longest name one folder entry may have (NTFS, FAT32's long names).
inline constexpr std::size_t kMaxFileNameLength = 255;

// How many bytes of UTF-8 `name` takes: 1 to 3 a UTF-16 unit, 4 a pair of
// surrogates.
[[nodiscard]] std::size_t Utf8Length(std::wstring_view name);

// What follows the last '\' or '/' of `path` (or a drive's "X:").
[[nodiscard]] std::wstring_view LastPathPart(std::wstring_view path);

// `path` without its last part: "" for a bare name, "C:" for "C:name",
// otherwise up to and with the last separator.
[[nodiscard]] std::wstring_view FolderPart(std::wstring_view path);

// True where Windows opens a device rather than a file: the last part is
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 or LPT0-9 (also with ¹ ² ³),
// in any case, whatever follows a '.' or ':' and with trailing spaces, and
// whatever folder comes before it ("x\..\con.reg" is the console).
[[nodiscard]] bool NamesADevice(std::wstring_view path);

// Why no file may be written under `path`, whatever is on the disk:
// kErrorIsADevice, ERROR_FILENAME_EXCED_RANGE for a last part longer than
// kMaxFileNameLength; else ERROR_SUCCESS.
[[nodiscard]] DWORD RefusedFileName(std::wstring_view path);

}  // namespace varnelo
