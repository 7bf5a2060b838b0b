// A registry file as regedit writes one ("Windows Registry Editor Version
// 5.00": UTF-16LE with a byte-order mark, CRLF line ends), which Windows'
// reg import, a double click in Explorer and Wine's reg import all take.
// Portable: it only makes the file's bytes.
#pragma once

#include "core/messenger_colors.h"

#include <optional>
#include <string>
#include <vector>

namespace varnelo {

// The file's bytes, putting "IM Color" back under each entry's key as the
// entry says, in order: set to its type and bytes, or deleted. A key line creates its key on
// import: name only keys that exist. REG_BINARY is written as hex:, a 4-byte REG_DWORD as dword:,
// every other type as hex(N): (text too, so that its bytes come back as they were); long lists are
// wrapped as regedit wraps them. nullopt, with `badKey` set to it, for a key path that the file
// cannot name: one with a line break, or with bytes the code page does not convert.
[[nodiscard]] std::optional<std::string> RegistryFile(const std::vector<SavedColor>& entries,
                                                      std::string& badKey);

}  // namespace varnelo
