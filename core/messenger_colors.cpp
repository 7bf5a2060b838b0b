#include "core/messenger_colors.h"

#include "base/decimal.h"
#include "registry/reg.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

namespace varnelo {

std::string ColorText(ColorValue color) { return Decimal(color); }

ColorValue ColorFromText(const std::string& text) {
  ColorValue color = 0;
  std::from_chars(text.data(), text.data() + text.size(), color);
  return color;
}

bool IsExplicitColor(ColorValue color) { return color >= 0 && color <= 0xFFFFFF; }

std::string ReadColor(std::string keyPath) {
  const HKEY root = HKEY_CURRENT_USER;
  return Reg::RegDataText(Reg::ReadRegValue(root, std::move(keyPath), kColorValueName,
                                            Reg::KindNumber, std::string(kNotFound)));
}

std::int32_t ListAccounts(std::vector<std::string>& ids, std::vector<bool>& misspelt) {
  const HKEY root = HKEY_CURRENT_USER;
  return Reg::EnumRegSubKeysChecked(root, kPassportListPath, ids, misspelt);
}

namespace {

// Whether the i-th listed account is one the program leaves alone: misspelt,
// or without a spelling check at all.
bool LeftAlone(const std::vector<bool>& misspelt, std::size_t i) {
  return i >= misspelt.size() || misspelt[i];
}

// "IM Color" for the Unicode calls (it is ASCII).
std::wstring WideValueName() {
  const std::string_view name(kColorValueName);
  return {name.begin(), name.end()};
}

}  // namespace

std::string AccountKeyPath(const std::string& id) {
  const std::string_view list = kPassportListPath;
  std::string path;
  path.reserve(list.size() + 1 + id.size());  // one allocation per account
  path.append(list).append(1, '\\').append(id);
  return path;
}

std::vector<std::string> ReadAccountColors(const std::vector<std::string>& ids,
                                           const std::vector<bool>& misspelt) {
  std::vector<std::string> colors;
  colors.reserve(ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) {
    colors.push_back(LeftAlone(misspelt, i) ? std::string(kNotFound)
                                            : ReadColor(AccountKeyPath(ids[i])));
  }
  return colors;
}

bool MessengerInstalled(const std::string& msnColor, const std::string& serviceColor,
                        std::int32_t accountCount) {
  return msnColor != kNotFound || serviceColor != kNotFound || accountCount >= 1;
}

std::string ShownColor(const std::string& msnColor, const std::string& serviceColor,
                       const std::vector<std::string>& accountColors) {
  if (msnColor != kNotFound) return msnColor;
  if (serviceColor != kNotFound) return serviceColor;
  for (auto color = accountColors.rbegin(); color != accountColors.rend(); ++color) {
    if (*color != kNotFound) return *color;
  }
  return kNotFound;
}

Profile ReadProfile() {
  Profile profile;
  profile.msnColor = ReadColor(kMsnKeyPath);
  profile.serviceColor = ReadColor(kServiceKeyPath);
  profile.accountCount = ListAccounts(profile.accountIds, profile.misspelt);
  return profile;
}

std::vector<ColorLocation> ColorLocations(const Profile& profile) {
  const auto listed = static_cast<std::size_t>(std::max(profile.accountCount, std::int32_t{0}));
  std::vector<ColorLocation> locations;
  locations.reserve(2 + std::min(listed, profile.accountIds.size()));
  if (profile.msnColor != kNotFound) locations.push_back({kMsnKeyPath, true, false});
  if (profile.serviceColor != kNotFound) locations.push_back({kServiceKeyPath, true, false});
  for (std::size_t i = 0; i < listed && i < profile.accountIds.size(); ++i) {
    locations.push_back(
        {AccountKeyPath(profile.accountIds[i]), false, LeftAlone(profile.misspelt, i)});
  }
  return locations;
}

std::vector<LocationStatus> WriteColorEverywhere(const std::string& colorText,
                                                 const Profile& profile) {
  const HKEY root = HKEY_CURRENT_USER;
  std::vector<ColorLocation> locations = ColorLocations(profile);
  std::vector<LocationStatus> writes;
  writes.reserve(locations.size());
  for (ColorLocation& location : locations) {
    LSTATUS status = kNameNotSpellable;
    if (!location.leftAlone) {
      // An account key is written only under a name that exists, never created.
      const auto ifMissing =
          location.mayCreateKey ? Reg::IfKeyMissing::Create : Reg::IfKeyMissing::Fail;
      status = Reg::WriteRegValueStatus(root, location.keyPath, kColorValueName, Reg::KindNumber,
                                        colorText, ifMissing);
    }
    writes.push_back({std::move(location.keyPath), status});
  }
  return writes;
}

Backup ReadBackup(const Profile& profile) {
  const std::wstring valueName = WideValueName();
  Backup backup;
  for (const ColorLocation& location : ColorLocations(profile)) {
    if (location.leftAlone) {
      backup.leftAlone.push_back({location.keyPath, kNameNotSpellable});
      continue;
    }
    Reg::ExactValue value = Reg::ReadRegValueExact(HKEY_CURRENT_USER, location.keyPath, valueName);
    using Found = Reg::ExactValue::Found;
    switch (value.found) {
      case Found::NoKey: backup.missingKeys.push_back(location.keyPath); break;
      case Found::KeyRefused:  // the writes open it with more rights than this
        backup.leftAlone.push_back({location.keyPath, value.status});
        break;
      case Found::Failed: backup.unreadable.push_back({location.keyPath, value.status}); break;
      case Found::NoValue: backup.saved.push_back({location.keyPath, false, REG_NONE, {}}); break;
      case Found::Value:
        backup.saved.push_back({location.keyPath, true, value.type, std::move(value.data)});
        break;
    }
  }
  return backup;
}

namespace {

const std::string& KeyPathOf(const std::string& keyPath) { return keyPath; }
const std::string& KeyPathOf(const SavedColor& saved) { return saved.keyPath; }
const std::string& KeyPathOf(const LocationStatus& status) { return status.keyPath; }

// The entry of `list` at `next` if it is `path`'s, and the cursor past it;
// else nullptr.
template <typename Entry>
const Entry* Take(const std::vector<Entry>& list, std::size_t& next, const std::string& path) {
  if (next >= list.size() || KeyPathOf(list[next]) != path) return nullptr;
  return &list[next++];
}

}  // namespace

Overwritten OverwrittenBy(const Backup& before, const std::vector<LocationStatus>& writes) {
  // The writes and each of the backup's lists follow ColorLocations' order,
  // and each location is in one list: one pass, a cursor per list.
  std::size_t nextSaved = 0, nextMissing = 0, nextUnreadable = 0, nextLeftAlone = 0;
  Overwritten overwritten;
  for (const LocationStatus& write : writes) {
    const std::string& path = write.keyPath;
    const SavedColor* const saved = Take(before.saved, nextSaved, path);
    const bool made = saved == nullptr && Take(before.missingKeys, nextMissing, path) != nullptr;
    const LocationStatus* unread = nullptr;
    if (saved == nullptr && !made) {
      unread = Take(before.unreadable, nextUnreadable, path);
      if (unread == nullptr) unread = Take(before.leftAlone, nextLeftAlone, path);
    }
    if (write.status != ERROR_SUCCESS) continue;
    if (saved != nullptr) {
      overwritten.saved.push_back(*saved);
    } else if (made) {
      overwritten.saved.push_back({path, false, REG_NONE, {}});  // 設 定 made the key
    } else {  // unreadable, or a key refused then but opened by the write
      overwritten.unreadable.push_back(
          {path, unread != nullptr ? unread->status : ERROR_ACCESS_DENIED});
    }
  }
  return overwritten;
}

std::vector<LocationStatus> PutBack(const std::vector<SavedColor>& saved) {
  const std::wstring valueName = WideValueName();
  std::vector<LocationStatus> failed;
  for (const SavedColor& color : saved) {
    const LSTATUS status =
        Reg::RestoreRegValueExact(HKEY_CURRENT_USER, color.keyPath, valueName, color.type,
                                  color.present ? &color.data : nullptr);
    // A key that has gone (before the call or during it) is left gone.
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && status != ERROR_KEY_DELETED) {
      failed.push_back({color.keyPath, status});
    }
  }
  return failed;
}

std::string ShownColorNow() {
  const Profile now = ReadProfile();
  std::vector<std::string> accountColors;
  if (now.msnColor == kNotFound && now.serviceColor == kNotFound) {
    accountColors = ReadAccountColors(now.accountIds, now.misspelt);
  }
  return ShownColor(now.msnColor, now.serviceColor, accountColors);
}

}  // namespace varnelo
