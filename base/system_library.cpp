#include "base/system_library.h"

#include <cwchar>

namespace varnelo {

FARPROC SystemFunction(const wchar_t* dll, const char* name) {
  // No std::wstring: varnelo.com, which has no other use for the C++ library,
  // would carry its exceptions for this one path.
  wchar_t path[MAX_PATH + 32];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || std::wcslen(dll) + 2 > 32) return nullptr;
  path[length] = L'\\';
  std::wcscpy(path + length + 1, dll);
  // With a full path, the DLL's own imports are looked for in its folder
  // first: the system folder again.
  const HMODULE module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

}  // namespace varnelo
