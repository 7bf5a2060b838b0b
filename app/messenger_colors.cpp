#include "app/messenger_colors.h"

#include "registry/reg.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

namespace varnelo {

std::string ColorText(ColorValue color) { return std::to_string(color); }

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
  const std::string_view name(kColorValueName);  // ASCII, for the Unicode call
  const std::wstring valueName(name.begin(), name.end());
  Backup backup;
  for (const ColorLocation& location : ColorLocations(profile)) {
    if (location.leftAlone) {
      backup.leftAlone.push_back({location.keyPath, kNameNotSpellable});
      continue;
    }
    Reg::ExactValue value = Reg::ReadRegValueExact(HKEY_CURRENT_USER, location.keyPath, valueName);
    using Found = Reg::ExactValue::Found;
    switch (value.found) {
      case Found::NoKey: break;
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

}  // namespace varnelo
