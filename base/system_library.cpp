#include "base/system_library.h"

#include <string>

namespace varnelo {

FARPROC SystemFunction(const wchar_t* dll, const char* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
  // With a full path, the DLL's own imports are looked for in its folder
  // first: the system folder again.
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

}  // namespace varnelo
