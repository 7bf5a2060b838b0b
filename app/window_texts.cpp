#include "app/window_texts.h"

#include "base/code_page.h"
#include "base/decimal.h"
#include "core/file_names.h"

namespace varnelo {
namespace {

std::wstring ErrorNumber(DWORD error) { return L"エラー " + Decimal<wchar_t>(error); }

// Why a file could not be written, by the Windows error code.
std::wstring FileReason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: return L"フォルダーがありません。";
    case ERROR_ACCESS_DENIED: return L"アクセスが拒否されました。";
    case ERROR_SHARING_VIOLATION: return L"ファイルが使用中です。";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return L"ディスクがいっぱいです。";
    case ERROR_INVALID_NAME: return L"ファイル名に使えない名前です。";
    case ERROR_FILENAME_EXCED_RANGE: return L"名前が長すぎます。";
    case ERROR_FILE_READ_ONLY: return L"ファイルが読み取り専用です。ファイルはそのままです。";
    case kErrorIsAFolder: return L"同じ名前のフォルダーがあります。";
    case kErrorIsADevice: return L"ファイルではなくデバイスの名前です (CON、NUL、COM1 など)。";
    default: return ErrorNumber(error) + L"。";
  }
}

std::wstring Location(const std::string& keyPath) {
  return L"HKEY_CURRENT_USER\\" + WidenForShowing(keyPath);
}

}  // namespace

std::wstring SaveFailedText(const BackupSave& save, const std::wstring& path) {
  using Outcome = BackupSave::Outcome;
  std::wstring why;
  switch (save.outcome) {
    case Outcome::Saved: return L"";
    case Outcome::NameRefused:
    case Outcome::NotWritten: why = FileReason(save.error); break;
    case Outcome::NotInstalled: why = L"Messengerの色がどこにもありません。"; break;
    case Outcome::Unreadable:
      why =
          Location(save.keyPath) + L" の色を読めませんでした (" + ErrorNumber(save.error) + L")。";
      break;
    case Outcome::KeyNotNameable:
      why = Location(save.keyPath) + L" は登録ファイルに書けない名前です。";
      break;
  }
  return L"色を保存できませんでした。\n\n" + path + L"\n" + why;
}

std::wstring UndoFailedText(const std::vector<LocationStatus>& notReadBefore,
                            const std::vector<LocationStatus>& notWrittenBack) {
  if (notReadBefore.empty() && notWrittenBack.empty()) return L"";
  std::wstring text = L"元に戻せなかった場所があります。ほかの場所は元に戻しました。\n";
  if (!notReadBefore.empty()) {
    text += L"\n設定の前の値を読めなかったため、設定した色のままです:\n";
    for (const LocationStatus& location : notReadBefore) text += Location(location.keyPath) + L"\n";
  }
  if (!notWrittenBack.empty()) {
    text += L"\n書き戻せませんでした:\n";
    for (const LocationStatus& location : notWrittenBack) {
      text += Location(location.keyPath) + L" (" +
              (location.status == ERROR_ACCESS_DENIED
                   ? std::wstring(L"アクセスが拒否されました")
                   : ErrorNumber(static_cast<DWORD>(location.status))) +
              L")\n";
    }
  }
  return text;
}

}  // namespace varnelo
