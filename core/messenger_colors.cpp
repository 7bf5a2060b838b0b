#include "core/messenger_colors.h"

#include "base/decimal.h"
#include "base/little_endian.h"
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

Reg::ExactValue ReadColorExactly(const std::string& keyPath) {
  return Reg::ReadRegValueExact(HKEY_CURRENT_USER, keyPath, WideValueName());
}

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

std::vector<ColorWrite> WriteColorEverywhere(const std::string& colorText, const Profile& profile) {
  const HKEY root = HKEY_CURRENT_USER;
  std::vector<ColorLocation> locations = ColorLocations(profile);
  std::vector<ColorWrite> writes;
  writes.reserve(locations.size());
  for (ColorLocation& location : locations) {
    ColorWrite write{std::move(location.keyPath), kNameNotSpellable, {}};
    if (!location.leftAlone) {
      // An account key is written only under a name that exists, never created.
      const auto ifMissing =
          location.mayCreateKey ? Reg::IfKeyMissing::Create : Reg::IfKeyMissing::Fail;
      write.status = Reg::WriteRegValueStatus(root, write.keyPath, kColorValueName, Reg::KindNumber,
                                              colorText, ifMissing, &write.before);
    }
    writes.push_back(std::move(write));
  }
  return writes;
}

std::vector<LocationStatus> NotWritten(const std::vector<ColorWrite>& writes) {
  std::vector<LocationStatus> notWritten;
  for (const ColorWrite& write : writes) {
    if (write.status != ERROR_SUCCESS) notWritten.push_back({write.keyPath, write.status});
  }
  return notWritten;
}

Backup ReadBackup(const Profile& profile) {
  Backup backup;
  for (const ColorLocation& location : ColorLocations(profile)) {
    if (location.leftAlone) {
      backup.leftAlone.push_back({location.keyPath, kNameNotSpellable});
      continue;
    }
    Reg::ExactValue value = ReadColorExactly(location.keyPath);
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

std::vector<ColorChange> ChangesMade(std::vector<ColorWrite> writes, const std::string& colorText) {
  const auto bytes = ToLittleEndian(static_cast<std::uint32_t>(ColorFromText(colorText)));
  const Reg::ExactValue written{Reg::ExactValue::Found::Value, ERROR_SUCCESS, REG_BINARY,
                                std::vector<BYTE>(bytes.begin(), bytes.end())};
  std::vector<ColorChange> changes;
  changes.reserve(writes.size());
  for (ColorWrite& write : writes) {
    if (write.status != ERROR_SUCCESS || Reg::SameValue(write.before, written)) continue;
    changes.push_back({std::move(write.keyPath), std::move(write.before), written});
  }
  return changes;
}

PutBackResult PutBack(std::vector<ColorChange> changes) {
  using Found = Reg::ExactValue::Found;
  const std::wstring valueName = WideValueName();
  PutBackResult result;
  for (ColorChange& change : changes) {
    if (change.before.found == Found::Failed) {
      result.unknownBefore.push_back({change.keyPath, change.before.status});
      continue;
    }
    const bool present = change.before.found == Found::Value;
    const LSTATUS status =
        Reg::RestoreRegValueExact(HKEY_CURRENT_USER, change.keyPath, valueName, change.before.type,
                                  present ? &change.before.data : nullptr, &change.written);
    if (status == ERROR_SUCCESS) {
      ++result.putBack;
    } else if (status == Reg::kValueChangedSince || status == ERROR_FILE_NOT_FOUND ||
               status == ERROR_KEY_DELETED) {
      result.changedSince.push_back({change.keyPath, status});
    } else {
      result.failed.push_back({change.keyPath, status});
      result.stillToUndo.push_back(std::move(change));
    }
  }
  return result;
}

std::string ShownColorNow() {
  const Profile now = ReadProfile();
  if (now.msnColor != kNotFound || now.serviceColor != kNotFound) {
    return ShownColor(now.msnColor, now.serviceColor, {});
  }
  // The last listed account key that holds one: read from the end, and no
  // further than it (ShownColor over every account's colour, without
  // reading them all).
  for (std::size_t i = now.accountIds.size(); i-- > 0;) {
    if (LeftAlone(now.misspelt, i)) continue;
    if (std::string color = ReadColor(AccountKeyPath(now.accountIds[i])); color != kNotFound) {
      return color;
    }
  }
  return kNotFound;
}

}  // namespace varnelo
