// Keeps the Save dialog from taking a path it cannot hold. Wine's Save
// dialogs, the old one (GetSaveFileNameW) and the common item dialog
// (IFileSaveDialog) alike, put the folder shown and the name typed together
// in a buffer of MAX_PATH characters when the user presses Save, and crash
// the program when they are longer. While this lives, the Save dialog that
// GetSaveFileNameW opens on this thread (Wine's, Windows XP's) answers such
// a press with a message of its own and stays open. The dialog of Vista and
// later, whose file name is no direct child of the dialog, is left alone.
#pragma once

#include <windows.h>

#include <string>

namespace varnelo {

class LongPathGuard {
 public:
  // `folderShown` tells which folder the dialog shows now.
  using FolderShown = std::wstring (*)(HWND dialog);
  explicit LongPathGuard(FolderShown folderShown);
  ~LongPathGuard();
  LongPathGuard(const LongPathGuard&) = delete;
  LongPathGuard& operator=(const LongPathGuard&) = delete;

 private:
  HHOOK hook_ = nullptr;
};

}  // namespace varnelo
