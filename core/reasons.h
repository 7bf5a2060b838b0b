// Why a file could not be saved, or a location not written, in the words
// each front end uses: the command line's English and the window's
// Japanese, from one table each. Portable.
#pragma once

#include <windows.h>

#include <string>

namespace varnelo {

// The reason for the Windows error code `error` (or one of file_names.h's):
// English as the command line says it, without a full stop ("the disk is
// full"); "error N" for a code the table does not have.
[[nodiscard]] std::string SaveReasonInEnglish(DWORD error);

// The same in Japanese, as a sentence or two ending in 。; "エラー N。" for
// a code the table does not have.
[[nodiscard]] std::wstring SaveReasonInJapanese(DWORD error);

// Why "IM Color" at a location was not written or put back, by the
// registry call's status (or kNameNotSpellable): English as the command line
// says it, without a full stop; "error N" for a status the table does not
// have.
[[nodiscard]] std::string LocationReasonInEnglish(LSTATUS status);

// The same in Japanese, without a full stop; "エラー N" for a status the
// table does not have.
[[nodiscard]] std::wstring LocationReasonInJapanese(LSTATUS status);

}  // namespace varnelo
