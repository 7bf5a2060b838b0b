// What the window says in its message boxes about saving the colours and
// putting them back, in Japanese as the rest of the window. Portable.
#pragma once

#include "core/backup_file.h"
#include "core/messenger_colors.h"

#include <string>
#include <vector>

namespace varnelo {

// Why 色を保存 did not save into `path`, with the reasons /export gives (a
// read-only file, a folder, a device, a full disk, a missing folder, access
// denied, a name too long, ...); "" when it saved.
[[nodiscard]] std::wstring SaveFailedText(const BackupSave& save, const std::wstring& path);

// What 元に戻す could not put back: the locations whose value could not be
// read before 設 定 wrote them, and those that could not be written back;
// "" when every location is as it was.
[[nodiscard]] std::wstring UndoFailedText(const std::vector<LocationStatus>& notReadBefore,
                                          const std::vector<LocationStatus>& notWrittenBack);

}  // namespace varnelo
