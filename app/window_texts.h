// What the window says in its message boxes about saving the colours and
// putting them back, in Japanese as the rest of the window. Portable.
#pragma once

#include "core/backup_file.h"
#include "core/messenger_colors.h"

#include <cstddef>
#include <string>
#include <vector>

namespace varnelo {

// Why 色を保存 did not save into `path`, with the reasons /export gives (a
// read-only file, a folder, a device, a full disk, a missing folder, access
// denied, a name too long, ...); "" when it saved.
[[nodiscard]] std::wstring SaveFailedText(const BackupSave& save, const std::wstring& path);

// What 設 定 could not write: each location, with why; and whether the
// others (`written` of them) were.
[[nodiscard]] std::wstring ApplyFailedText(const std::vector<LocationStatus>& notWritten,
                                           std::size_t written);

// What 元に戻す left as it is, and why: changed by another program since
// 設 定, not read before it, or refused the write-back (which may be tried
// again); "" when every location was put back.
[[nodiscard]] std::wstring UndoFailedText(const PutBackResult& result);

}  // namespace varnelo
