// The program's version numbers, read from its own version resource in
// memory: no second opening of the program file, no version DLL.
#pragma once

#include "app/toolkit.h"

#include <windows.h>

namespace varnelo {

// Major, minor and revision: the 1st, 2nd and 4th numbers of the file version
// in the VS_VERSION_INFO resource of `module`. Throws ToolkitError when the
// resource is missing or malformed.
VersionNumbers ReadVersionResource(HMODULE module);

}  // namespace varnelo
