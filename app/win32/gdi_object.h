// A GDI object (font, brush) owned by one holder and deleted once.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

namespace varnelo {

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

template <typename Handle>
using GdiObject = UniqueHandle<Handle, DeleteGdiObject>;

}  // namespace varnelo
