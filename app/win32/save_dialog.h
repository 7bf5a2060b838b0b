// 色を保存 from the window: the common Save dialog, then the same save as
// /export's (SaveBackup, backup_file.h) through the safe write (save_file.h).
#pragma once

#include "app/form1.h"

#include <windows.h>

#include <optional>
#include <string>

namespace varnelo {

// Asks where to save in the common Save dialog (comdlg32 loaded by its full
// path on first use), owned by `owner` and at its screen's DPI: registry
// files (*.reg), today's im-colours-YYYYMMDD.reg in the user's Documents
// folder offered, a file already there replaced only when the user agrees.
// nullopt when the user cancels or the dialog cannot be had.
[[nodiscard]] std::optional<std::wstring> AskWhereToSave(HWND owner);

// Asks, and saves where the user said the locations `form`'s 設 定 would
// write now: what the window must then tell the user (why nothing was
// saved), or "" (saved, or cancelled: nothing written).
[[nodiscard]] std::wstring SaveColorsAsked(HWND owner, const Form1& form);

}  // namespace varnelo
