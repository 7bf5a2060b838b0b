// Writing a file completely or not at all (Win32): the command line's
// /export saves through this.
#pragma once

#include <windows.h>

#include <string>

namespace varnelo {

// Writes `bytes` to a new temporary file beside `path` (in the same folder,
// so on the same volume), flushes it, and only then moves it over `path`,
// replacing a file of that name (MoveFileExW, write-through). On any failure
// the temporary file is deleted and a file already at `path` stays as it
// was. Returns ERROR_SUCCESS or the Windows error code of what failed;
// kErrorIsAFolder (command_line.h) where `path` names a folder.
DWORD SaveFileAtomically(const std::wstring& path, const std::string& bytes);

}  // namespace varnelo
