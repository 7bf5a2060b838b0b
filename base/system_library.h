// Functions of Windows' own DLLs, loaded when first needed and only ever from
// the system folder by full path: a DLL of the same name in the program's
// folder (a downloads folder, say) or in the current folder is never loaded.
#pragma once

#include <windows.h>

namespace varnelo {

// The function `name` of the system DLL `dll` (a bare file name such as
// L"comdlg32.dll") in the system folder. Each call loads the DLL by its full
// path: the first maps it, later ones only count one more reference. No
// reference is given back, so the function stays valid for the rest of the
// run. nullptr when the DLL or the function cannot be had.
FARPROC SystemFunction(const wchar_t* dll, const char* name);

// The same, as a pointer to the function's own type `Function`.
template <typename Function>
Function SystemFunctionAs(const wchar_t* dll, const char* name) {
  // Through void (*)(), the type that converts to any function pointer.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemFunction(dll, name)));
}

}  // namespace varnelo
