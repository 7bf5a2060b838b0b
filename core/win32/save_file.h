// Writing a file completely or not at all (Win32): the command line's
// /export and the window's 色を保存 save through this.
#pragma once

#include <windows.h>

#include <string>

namespace varnelo {

// Writes `bytes` to a new temporary file beside `path` (in the same folder,
// so on the same volume, under a short name of its own), flushes it, and
// only then moves it over `path`, replacing a file of that name (MoveFileExW,
// write-through). The name's text is judged before, by the caller
// (RefusedFileName, file_names.h, which SaveBackup applies). Refused before
// anything is written: a folder (kErrorIsAFolder), a read-only file
// (ERROR_FILE_READ_ONLY; checked again just before the move), and under Wine
// a last part of over 255 bytes of UTF-8 (kErrorNameTooLongOnDisk), which
// Wine would cut short and so replace another file. On any failure the
// temporary file is deleted and a file already at `path` stays as it was.
// Temporary files in that folder that earlier saves left when they were
// ended in the middle are deleted; the one a running save still writes is
// not. Returns ERROR_SUCCESS or the Windows error code of what failed.
[[nodiscard]] DWORD SaveFileAtomically(const std::wstring& path, const std::string& bytes);

}  // namespace varnelo
