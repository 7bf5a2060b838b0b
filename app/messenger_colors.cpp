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

std::int32_t ListAccounts(std::vector<std::string>& ids) {
  const HKEY root = HKEY_CURRENT_USER;
  return Reg::EnumRegSubKeys(root, kPassportListPath, ids);
}

std::string AccountKeyPath(const std::string& id) {
  return std::string(kPassportListPath) + "\\" + id;
}

std::vector<std::string> ReadAccountColors(const std::vector<std::string>& ids) {
  std::vector<std::string> colors;
  colors.reserve(ids.size());
  for (const auto& id : ids) colors.push_back(ReadColor(AccountKeyPath(id)));
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

std::vector<LocationWrite> WriteColorEverywhere(const std::string& colorText,
                                                const std::string& msnColorNow,
                                                const std::string& serviceColorAtStartup,
                                                const std::vector<std::string>& accountIds,
                                                std::int32_t accountCount) {
  const HKEY root = HKEY_CURRENT_USER;
  std::vector<LocationWrite> writes;
  const auto write = [&](const std::string& keyPath, Reg::IfKeyMissing ifMissing) {
    writes.push_back({keyPath, Reg::WriteRegValueStatus(root, keyPath, kColorValueName,
                                                        Reg::KindNumber, colorText, ifMissing)});
  };
  if (msnColorNow != kNotFound) write(kMsnKeyPath, Reg::IfKeyMissing::Create);
  if (serviceColorAtStartup != kNotFound) write(kServiceKeyPath, Reg::IfKeyMissing::Create);
  // An account key is written only under a name that exists: a name the
  // listing could not spell would otherwise become a new key.
  const auto listed = static_cast<std::size_t>(std::max(accountCount, std::int32_t{0}));
  for (std::size_t i = 0; i < listed && i < accountIds.size(); ++i) {
    write(AccountKeyPath(accountIds[i]), Reg::IfKeyMissing::Fail);
  }
  return writes;
}

}  // namespace varnelo
