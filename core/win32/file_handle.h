// A file handle (CreateFileW's, a console's) owned by one holder and closed once.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

namespace varnelo {

inline void CloseFileHandle(HANDLE handle) { CloseHandle(handle); }

using FileHandle = UniqueHandle<HANDLE, CloseFileHandle>;

}  // namespace varnelo
