#include "registry_view.h"

#include <algorithm>

namespace fuzz {
namespace {

// The registry sees a text up to its first zero byte: the A functions take
// C strings.
std::string AsCString(const std::string& text) { return std::string(text.c_str()); }

// A path cut into its names, or nullopt where the registry refuses it.
std::optional<std::vector<std::string>> Names(const std::string& givenPath) {
  const std::string path = AsCString(givenPath);
  std::vector<std::string> names;
  if (path.size() > registry_rules::kMaxAnsiPath ||
      registry_rules::SplitKeyPath(path, names) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return names;
}

std::string Join(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "\\" + name;
}

REGSAM RefusedAt(const Refusals& refusals, const std::string& foldedPath) {
  const auto found = refusals.find(foldedPath);
  return found == refusals.end() ? 0 : found->second;
}

std::string FoldedPath(const std::vector<std::string>& names) {
  std::string folded;
  for (const auto& name : names) folded = Join(folded, Fold(name));
  return folded;
}

}  // namespace

std::optional<std::string> OpenablePath(const Tree& view, const Refusals& refusals,
                                        const std::string& path, REGSAM access) {
  const auto names = Names(path);
  if (!names) return std::nullopt;
  const std::string folded = FoldedPath(*names);
  if (!view.contains(folded)) return std::nullopt;
  if (registry_rules::Refuses(RefusedAt(refusals, folded), access)) return std::nullopt;
  return folded;
}

Reg::RegData ExpectedRead(const Tree& view, const Refusals& refusals, const std::string& path,
                          const std::string& name, std::int32_t kind,
                          const Reg::RegData& defaultValue) {
  const auto key = OpenablePath(view, refusals, path, kRoutineAccess);
  if (!key || (kind != Reg::KindText && kind != Reg::KindNumber)) return defaultValue;
  const auto& values = view.at(*key).values;
  const auto found = values.find(Fold(AsCString(name)));
  if (found == values.end()) return defaultValue;
  const std::vector<BYTE>& data = found->second.raw.data;
  if (kind == Reg::KindNumber) {
    if (data.size() > 4) return defaultValue;
    return static_cast<std::int32_t>(testing_support::FromLe32(data));
  }
  if (data.size() > 256) return defaultValue;
  const auto zero = std::find(data.begin(), data.end(), BYTE{0});
  return std::string(data.begin(), zero);
}

std::vector<std::string> ExpectedListing(const Tree& view, const Refusals& refusals,
                                         const std::string& path) {
  std::vector<std::string> names;
  const auto key = OpenablePath(view, refusals, path, KEY_ENUMERATE_SUB_KEYS);
  if (!key) return names;
  for (const auto& child : view.at(*key).children) {
    if (child.size() + 1 > kNameBuffer) break;  // the listing ends at a name too long
    names.push_back(child);
  }
  return names;
}

std::optional<std::int32_t> DecimalToInt32(const std::string& text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) i = 1;
  if (i == text.size()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{1} << 31) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool ExpectWrite(Tree& view, const Refusals& refusals, const std::string& path,
                 const std::string& name, std::int32_t kind, const Reg::RegData& value,
                 SetCalls& sets) {
  std::optional<std::int32_t> number;
  if (kind == Reg::KindBinary || kind == Reg::KindNumber) {
    if (const auto* given = std::get_if<std::int32_t>(&value)) {
      number = *given;
    } else {
      number = DecimalToInt32(std::get<std::string>(value));
    }
    if (!number) return false;  // refused before the registry is touched
  }
  const auto names = Names(path);
  if (!names) return false;

  // The key and every missing key above it are created, whatever rights the
  // keys above refuse. Below a key that hides its subkeys nothing shows.
  const std::string keyPath = AsCString(path);
  testing_support::MakeKey(view, keyPath);
  if (registry_rules::Refuses(RefusedAt(refusals, FoldedPath(*names)), kRoutineAccess)) {
    return false;
  }
  if (kind != Reg::KindText && !number) return false;  // an unserved kind stores nothing

  const std::size_t index = sets.made++;
  if (sets.failing && *sets.failing == index) return false;

  testing_support::RawValue stored{REG_BINARY, {}};
  if (kind == Reg::KindText) {
    const std::string text = Reg::RegDataText(value);
    stored = {REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
    stored.data.push_back(0);
  } else {
    stored.data = testing_support::Le32(static_cast<std::uint32_t>(*number));
  }
  testing_support::SetValue(view, keyPath, AsCString(name), std::move(stored));
  return true;
}

}  // namespace fuzz
