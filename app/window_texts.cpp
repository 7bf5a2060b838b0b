#include "app/window_texts.h"

#include "base/code_page.h"
#include "base/decimal.h"
#include "core/reasons.h"

namespace varnelo {
namespace {

std::wstring ErrorNumber(DWORD error) { return L"エラー " + Decimal<wchar_t>(error); }

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
    case Outcome::NotWritten: why = SaveReasonInJapanese(save.error); break;
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

namespace {

// One line a location: "HKEY_CURRENT_USER\...（why）".
std::wstring LocationLines(const std::vector<LocationStatus>& locations, bool withReason) {
  std::wstring lines;
  for (const LocationStatus& location : locations) {
    lines += Location(location.keyPath);
    if (withReason) lines += L"（" + LocationReasonInJapanese(location.status) + L"）";
    lines += L"\n";
  }
  return lines;
}

}  // namespace

std::wstring ApplyFailedText(const std::vector<LocationStatus>& notWritten, std::size_t written) {
  return std::wstring(L"次の場所には色を書き込めませんでした。") +
         (written > 0 ? L"ほかの場所には書き込みました。" : L"") + L"\n\n" +
         LocationLines(notWritten, true);
}

std::wstring UndoFailedText(const PutBackResult& result) {
  if (result.failed.empty() && result.changedSince.empty() && result.unknownBefore.empty()) {
    return L"";
  }
  std::wstring text = result.putBack > 0
                          ? L"元に戻せなかった場所があります。ほかの場所は元に戻しました。\n"
                          : L"元に戻せた場所はありません。\n";
  if (!result.changedSince.empty()) {
    text += L"\n設定のあとにほかのプログラムが変更したため、今の値のままにしました:\n" +
            LocationLines(result.changedSince, false);
  }
  if (!result.unknownBefore.empty()) {
    text += L"\n設定の前の値を読み取れなかったため、設定した色のままです:\n" +
            LocationLines(result.unknownBefore, false);
  }
  if (!result.failed.empty()) {
    text += L"\n書き戻せませんでした（もう一度 元に戻す を選ぶと、やり直せます）:\n" +
            LocationLines(result.failed, true);
  }
  return text;
}

}  // namespace varnelo
