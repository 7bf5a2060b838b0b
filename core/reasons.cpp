#include "core/reasons.h"

#include "base/decimal.h"
#include "core/file_names.h"
#include "core/messenger_colors.h"

#include <algorithm>
#include <array>

namespace varnelo {
namespace {

// One row of a table of reasons: a status and what it means in both languages.
template <class Code>
struct Reason {
  Code code;
  const char* english;
  const wchar_t* japanese;
};
using SaveReason = Reason<DWORD>;
using LocationReason = Reason<LSTATUS>;

constexpr char kNoFolder[] = "the folder does not exist";
constexpr wchar_t kNoFolderJa[] = L"保存先のフォルダーがありません。";
constexpr char kDiskFull[] = "the disk is full";
constexpr wchar_t kDiskFullJa[] = L"ディスクの空き容量が足りません。";

constexpr std::array kSaveReasons{
    SaveReason{ERROR_FILE_NOT_FOUND, kNoFolder, kNoFolderJa},
    SaveReason{ERROR_PATH_NOT_FOUND, kNoFolder, kNoFolderJa},
    SaveReason{ERROR_INVALID_DRIVE, kNoFolder, kNoFolderJa},
    SaveReason{ERROR_ACCESS_DENIED, "access denied", L"アクセスが拒否されました。"},
    SaveReason{ERROR_SHARING_VIOLATION, "the file is in use", L"ファイルが使用中です。"},
    SaveReason{ERROR_HANDLE_DISK_FULL, kDiskFull, kDiskFullJa},
    SaveReason{ERROR_DISK_FULL, kDiskFull, kDiskFullJa},
    SaveReason{ERROR_INVALID_NAME, "not a valid file name", L"この名前はファイル名に使えません。"},
    SaveReason{ERROR_FILENAME_EXCED_RANGE, "the name is too long (at most 255 characters)",
               L"名前が長すぎます。ファイル名は 255 文字までです。"},
    SaveReason{kErrorNameTooLongOnDisk,
               "the name is too long for Wine's file system (at most 255 bytes of UTF-8; a "
               "Japanese character takes 3)",
               L"名前が長すぎます。Wine ではファイル名は UTF-8 で 255 バイト（かなや漢字は 1 "
               L"文字 3 バイト）までです。"},
    SaveReason{ERROR_FILE_READ_ONLY, "the file is read-only; it was left as it is",
               L"読み取り専用のため上書きしませんでした。"},
    SaveReason{kErrorIsAFolder, "a folder has that name", L"同じ名前のフォルダーがあります。"},
    SaveReason{kErrorIsADevice, "it is a device, not a file (CON, NUL, COM1, ...)",
               L"ファイルではなくデバイスの名前です（CON、NUL、COM1 など）。"},
};

constexpr wchar_t kKeyGoneJa[] = L"キーが削除されていました";

constexpr std::array kLocationReasons{
    LocationReason{ERROR_FILE_NOT_FOUND, "the key has gone; nothing created", kKeyGoneJa},
    LocationReason{kNameNotSpellable,
                   "its name has characters that Windows' \"Language for non-Unicode programs\" "
                   "does not have, so Varnelo cannot open it; left alone",
                   L"キーの名前にこのシステムで扱えない文字があるため、触れていません"},
    LocationReason{ERROR_MORE_DATA, "its name is over 208 characters, longer than Varnelo can open",
                   L"キーのパスが長すぎます"},
    LocationReason{ERROR_ACCESS_DENIED, "access denied", L"アクセスが拒否されました"},
    LocationReason{ERROR_KEY_DELETED, "the key was deleted", kKeyGoneJa},
};

// The row of `table` for `code`, or nullptr.
template <class Table, class Code>
const typename Table::value_type* Find(const Table& table, Code code) {
  const auto found = std::ranges::find(table, code, &Table::value_type::code);
  return found == table.end() ? nullptr : &*found;
}

}  // namespace

std::string SaveReasonInEnglish(DWORD error) {
  const SaveReason* reason = Find(kSaveReasons, error);
  return reason != nullptr ? reason->english : "error " + Decimal(error);
}

std::wstring SaveReasonInJapanese(DWORD error) {
  const SaveReason* reason = Find(kSaveReasons, error);
  return reason != nullptr ? reason->japanese : L"エラー " + Decimal<wchar_t>(error) + L"。";
}

std::string LocationReasonInEnglish(LSTATUS status) {
  const LocationReason* reason = Find(kLocationReasons, status);
  return reason != nullptr ? reason->english : "error " + Decimal(status);
}

std::wstring LocationReasonInJapanese(LSTATUS status) {
  const LocationReason* reason = Find(kLocationReasons, status);
  return reason != nullptr ? reason->japanese : L"エラー " + Decimal<wchar_t>(status);
}

}  // namespace varnelo
