#include "app/messenger_colors.h"

#include "registry/reg.h"

#include <algorithm>
#include <charconv>

namespace varnelo {

std::string ColorText(ColorValue color) { return std::to_string(color); }

ColorValue ColorFromText(const std::string& text) {
  ColorValue color = 0;
  std::from_chars(text.data(), text.data() + text.size(), color);
  return color;
}

bool IsExplicitColor(ColorValue color) { return color >= 0 && color <= 0xFFFFFF; }

std::string ReadColor(const std::string& keyPath) {
  const HKEY root = HKEY_CURRENT_USER;
  return Reg::RegDataText(
      Reg::ReadRegValue(root, keyPath, kColorValueName, Reg::KindNumber, std::string(kNotFound)));
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
  return std::string(kPassportListPath) + "\\" + id;
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

std::vector<ColorLocation> ColorLocations(const std::string& msnColorNow,
                                          const std::string& serviceColorAtStartup,
                                          const std::vector<std::string>& accountIds,
                                          const std::vector<bool>& misspelt,
                                          std::int32_t accountCount) {
  std::vector<ColorLocation> locations;
  if (msnColorNow != kNotFound) locations.push_back({kMsnKeyPath, true, false});
  if (serviceColorAtStartup != kNotFound) locations.push_back({kServiceKeyPath, true, false});
  const auto listed = static_cast<std::size_t>(std::max(accountCount, std::int32_t{0}));
  for (std::size_t i = 0; i < listed && i < accountIds.size(); ++i) {
    locations.push_back({AccountKeyPath(accountIds[i]), false, LeftAlone(misspelt, i)});
  }
  return locations;
}

std::vector<LocationWrite> WriteColorEverywhere(const std::string& colorText,
                                                const std::string& msnColorNow,
                                                const std::string& serviceColorAtStartup,
                                                const std::vector<std::string>& accountIds,
                                                const std::vector<bool>& misspelt,
                                                std::int32_t accountCount) {
  const HKEY root = HKEY_CURRENT_USER;
  std::vector<LocationWrite> writes;
  for (const ColorLocation& location :
       ColorLocations(msnColorNow, serviceColorAtStartup, accountIds, misspelt, accountCount)) {
    if (location.leftAlone) {
      writes.push_back({location.keyPath, kNameNotSpellable});
      continue;
    }
    // An account key is written only under a name that exists, never created.
    const auto ifMissing =
        location.mayCreateKey ? Reg::IfKeyMissing::Create : Reg::IfKeyMissing::Fail;
    writes.push_back(
        {location.keyPath, Reg::WriteRegValueStatus(root, location.keyPath, kColorValueName,
                                                    Reg::KindNumber, colorText, ifMissing)});
  }
  return writes;
}

}  // namespace varnelo
