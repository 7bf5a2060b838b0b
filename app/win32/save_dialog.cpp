#include "app/win32/save_dialog.h"

#include "app/win32/dpi.h"
#include "app/window_texts.h"
#include "base/system_library.h"
#include "core/backup_file.h"
#include "core/win32/save_file.h"

#include <commdlg.h>

#include <cwchar>

namespace varnelo {
namespace {

// The user's Documents folder, or "" where the system cannot say.
std::wstring DocumentsFolder() {
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  constexpr int kPersonal = 0x0005;  // CSIDL_PERSONAL
  wchar_t folder[MAX_PATH] = {};
  const auto getFolderPath = SystemFunctionAs<GetFolderPath>(L"shell32.dll", "SHGetFolderPathW");
  if (getFolderPath == nullptr || getFolderPath(nullptr, kPersonal, nullptr, 0, folder) != S_OK) {
    return L"";
  }
  return folder;
}

}  // namespace

std::optional<std::wstring> AskWhereToSave(HWND owner) {
  const auto getSaveFileName =
      SystemFunctionAs<decltype(&GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
  if (getSaveFileName == nullptr) return std::nullopt;

  SYSTEMTIME today{};
  GetLocalTime(&today);
  constexpr DWORD kLongestPath = 32768;  // a path with the \\?\ prefix, and its end
  std::wstring file = BackupFileName(today.wYear, today.wMonth, today.wDay);
  file.resize(kLongestPath);
  const std::wstring folder = DocumentsFolder();

  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = L"登録ファイル (*.reg)\0*.reg\0";
  request.lpstrFile = file.data();
  request.nMaxFile = kLongestPath;
  request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  request.lpstrTitle = L"色を保存";
  request.lpstrDefExt = L"reg";
  // The current folder stays the program's: the DLL search leaves it out anyway.
  request.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  const SystemDialogDpi dialogDpi;
  if (getSaveFileName(&request) == FALSE) return std::nullopt;  // cancelled, closed or failed
  file.resize(std::wcslen(file.c_str()));
  return file;
}

std::wstring SaveColorsAsked(HWND owner) {
  const std::optional<std::wstring> path = AskWhereToSave(owner);
  if (!path) return L"";
  return SaveFailedText(SaveBackup(*path, SaveFileAtomically), *path);
}

}  // namespace varnelo
