#include "core/backup_file.h"

#include "base/error.h"
#include "core/file_names.h"
#include "core/registry_file.h"

#include <optional>
#include <utility>

namespace varnelo {

BackupSave SaveBackup(const std::wstring& path, const ReadLocations& readLocations,
                      const SaveFile& saveFile) {
  using Outcome = BackupSave::Outcome;
  const auto failed = [](Outcome outcome, DWORD error, std::string keyPath = {}) {
    return BackupSave{outcome, error, std::move(keyPath), {}, 0};
  };
  if (const DWORD refused = RefusedFileName(path); refused != ERROR_SUCCESS) {
    return failed(Outcome::NameRefused, refused);
  }
  const Profile now = readLocations();
  if (!now.Installed()) return failed(Outcome::NotInstalled, ERROR_SUCCESS);
  Backup backup = ReadBackup(now);
  if (!backup.unreadable.empty()) {
    const LocationStatus& first = backup.unreadable.front();
    return failed(Outcome::Unreadable, static_cast<DWORD>(first.status), first.keyPath);
  }
  std::string badKey;
  const std::optional<std::string> bytes = RegistryFile(backup.saved, badKey);
  if (!bytes) return failed(Outcome::KeyNotNameable, ERROR_SUCCESS, badKey);
  if (!saveFile) throw Error("no way to write a file");
  if (const DWORD error = saveFile(path, *bytes); error != ERROR_SUCCESS) {
    return failed(Outcome::NotWritten, error);
  }
  return {Outcome::Saved, ERROR_SUCCESS, "", std::move(backup.leftAlone), backup.saved.size()};
}

std::wstring BackupFileName(unsigned year, unsigned month, unsigned day) {
  std::wstring digits(8, L'0');  // YYYYMMDD
  unsigned date = year % 10000 * 10000 + month % 100 * 100 + day % 100;
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, date /= 10) {
    *digit = static_cast<wchar_t>(L'0' + date % 10);
  }
  return L"im-colours-" + digits + L".reg";
}

}  // namespace varnelo
