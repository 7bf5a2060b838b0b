// An owned, open registry key: closed exactly once, when the owner goes.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

namespace Reg {

inline void CloseKey(HKEY key) { RegCloseKey(key); }  // a failed close changes nothing

using ScopedKey = varnelo::UniqueHandle<HKEY, CloseKey>;

}  // namespace Reg
