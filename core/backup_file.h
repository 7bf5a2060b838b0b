// Saving the colours as a registry file that puts them back: what the
// command line's /export and the window's 色を保存 share, so that both save
// the same thing the same way. Portable: the file itself is written by the
// function the caller gives (the Win32 shell's safe save).
#pragma once

#include "core/messenger_colors.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace varnelo {

// Writes `bytes` as the file `path` completely or not at all, replacing a
// file of that name: ERROR_SUCCESS, or the Windows error code of what failed
// (file_names.h: kErrorIsAFolder where `path` names a folder,
// kErrorIsADevice where it names a device; ERROR_FILE_READ_ONLY for a
// read-only file).
using SaveFile = std::function<DWORD(const std::wstring& path, const std::string& bytes)>;

// How saving the backup went.
struct BackupSave {
  enum class Outcome {
    Saved,
    NameRefused,     // a name that can never be a file (file_names.h): nothing read
    NotInstalled,    // no Messenger location at all: nothing to save
    Unreadable,      // a location's value could not be read: a backup without it is not whole
    KeyNotNameable,  // a registry file cannot name a location's key
    NotWritten,      // the file could not be written; one already there is as it was
  };
  Outcome outcome = Outcome::Saved;
  DWORD error = ERROR_SUCCESS;  // NameRefused, NotWritten: why; Unreadable: the read's status
  std::string keyPath;          // Unreadable, KeyNotNameable: the location
  std::vector<LocationStatus> leftAlone;  // Saved: locations not saved (Backup::leftAlone)
  std::size_t saved = 0;                  // Saved: how many locations the file holds
};

// Where a backup is to be taken: the locations /set would write now
// (ReadProfile), or those the window's 設 定 would.
using ReadLocations = std::function<Profile()>;

// Reads the backup of every location of `readLocations()` (ReadBackup) and
// saves it with `saveFile` as a registry file (registry_file.h) under
// `path`. A name that can never be a file is refused before the registry is
// read.
[[nodiscard]] BackupSave SaveBackup(const std::wstring& path, const ReadLocations& readLocations,
                                    const SaveFile& saveFile);

// The name the window offers for a backup made on that day:
// "im-colours-YYYYMMDD.reg".
[[nodiscard]] std::wstring BackupFileName(unsigned year, unsigned month, unsigned day);

}  // namespace varnelo
