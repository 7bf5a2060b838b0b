// Writing a file completely or not at all (Win32): the command line's
// /export saves through this.
#pragma once

#include <windows.h>

#include <string>

namespace varnelo {

// Writes `bytes` to a new temporary file beside `path` (in the same folder,
// so on the same volume, under a short name of its own), flushes it, and
// only then moves it over `path`, replacing a file of that name (MoveFileExW,
// write-through). Refused before anything is written: a device name
// (kErrorIsADevice, file_names.h), a last part longer than a file name may be
// (ERROR_FILENAME_EXCED_RANGE), a folder (kErrorIsAFolder), a read-only file
// (ERROR_FILE_READ_ONLY; checked again just before the move). On any failure
// the temporary file is deleted and a file already at `path` stays as it
// was. Returns ERROR_SUCCESS or the Windows error code of what failed.
[[nodiscard]] DWORD SaveFileAtomically(const std::wstring& path, const std::string& bytes);

}  // namespace varnelo
