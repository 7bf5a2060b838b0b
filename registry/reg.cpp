#include "registry/reg.h"

#include "base/little_endian.h"
#include "registry/scoped_key.h"

#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace Reg {
namespace {

// Every right a key has of its own (KEY_QUERY_VALUE .. KEY_CREATE_LINK),
// without the standard rights that KEY_ALL_ACCESS adds. Reads ask for it
// too, so a key the user may read but not change reads as missing.
constexpr REGSAM kKeyRights = 0x3F;
constexpr DWORD kTextBufferSize = 256;
constexpr DWORD kNameBufferSize = 256;

std::optional<std::int32_t> ParseInt32(const std::string& text) {
  std::int32_t number = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
  return number;
}

std::optional<std::int32_t> AsInt32(const RegData& data) {
  if (const auto* number = std::get_if<std::int32_t>(&data)) return *number;
  return ParseInt32(std::get<std::string>(data));
}

// The bytes before the first zero byte (all of them if there is none).
std::string TextBeforeZero(const char* bytes, std::size_t size) {
  const void* zero = std::memchr(bytes, 0, size);
  const std::size_t length =
      zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : size;
  return std::string(bytes, length);
}

// True when `ansiName`, listed at `index` by RegEnumKeyExA, is not the name
// of the key at that index: the Unicode name, converted to the code page
// without best fit, must give the same bytes with no default character.
bool IsMisspelt(HKEY key, DWORD index, const std::string& ansiName) {
  std::array<wchar_t, kNameBufferSize> wide{};
  DWORD wideSize = kNameBufferSize;
  FILETIME lastWrite{};
  if (RegEnumKeyExW(key, index, wide.data(), &wideSize, nullptr, nullptr, nullptr, &lastWrite) !=
      ERROR_SUCCESS) {
    return true;  // gone or changed since the 8-bit listing: not to be trusted
  }
  const int wideLength = static_cast<int>(wideSize);
  std::array<char, 2 * kNameBufferSize> exact{};
  BOOL usedDefault = FALSE;
  int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, exact.data(),
                          static_cast<int>(exact.size()), nullptr, &usedDefault);
  if (length == 0 && wideLength != 0) {
    // A UTF-8 system code page (Windows 10 and later can have one) takes
    // neither that flag nor a default character: it spells every character
    // and refuses only a broken surrogate pair. Elsewhere this fails too.
    constexpr DWORD kErrorOnInvalidChars = 0x80;  // WC_ERR_INVALID_CHARS, Vista's
    length = WideCharToMultiByte(CP_ACP, kErrorOnInvalidChars, wide.data(), wideLength,
                                 exact.data(), static_cast<int>(exact.size()), nullptr, nullptr);
  }
  if (length == 0 && wideLength != 0) return true;
  return usedDefault != FALSE ||
         std::string_view(exact.data(), static_cast<std::size_t>(length)) != ansiName;
}

// The listing behind EnumRegSubKeys, with the spelling check when `misspelt`
// is given.
std::int32_t ListSubKeys(HKEY const& rootKey, const std::string& keyPath,
                         std::vector<std::string>& names, std::vector<bool>* misspelt) {
  ScopedKey key;
  if (RegOpenKeyExA(rootKey, keyPath.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.receive()) !=
      ERROR_SUCCESS) {
    return 0;
  }

  std::int32_t count = 0;
  for (;;) {
    std::array<char, kNameBufferSize> name{};
    DWORD nameSize = kNameBufferSize;
    DWORD classSize = 0;
    FILETIME lastWrite{};
    const auto index = static_cast<DWORD>(count);
    // 259 (no more items) is the usual end; any other status, such as 234 for
    // a name longer than 255 bytes, ends the listing the same way.
    if (RegEnumKeyExA(key.get(), index, name.data(), &nameSize, nullptr, nullptr, &classSize,
                      &lastWrite) != ERROR_SUCCESS) {
      break;
    }
    if (count == 0) {  // the first name found starts the array afresh
      names.clear();
      if (misspelt) misspelt->clear();
    }
    names.push_back(TextBeforeZero(name.data(), name.size()));
    if (misspelt) misspelt->push_back(IsMisspelt(key.get(), index, names.back()));
    ++count;
  }
  return count;
}

}  // namespace

std::string RegDataText(const RegData& data) {
  if (const auto* number = std::get_if<std::int32_t>(&data)) return std::to_string(*number);
  return std::get<std::string>(data);
}

bool WriteRegValue(HKEY const& rootKey, std::string keyPath, std::string valueName,
                   std::int32_t const& kind, RegData value) {
  return WriteRegValueStatus(rootKey, std::move(keyPath), std::move(valueName), kind,
                             std::move(value)) == ERROR_SUCCESS;
}

LSTATUS WriteRegValueStatus(HKEY const& rootKey, std::string keyPath, std::string valueName,
                            std::int32_t const& kind, RegData value, IfKeyMissing ifMissing) {
  std::optional<std::int32_t> number;
  if (kind == KindBinary || kind == KindNumber) {
    number = AsInt32(value);
    if (!number) return ERROR_INVALID_PARAMETER;  // not a 32-bit whole number: touch nothing
  }

  SECURITY_ATTRIBUTES security{};  // default security, handle not inherited
  char emptyClass[] = "";
  ScopedKey key;
  const LSTATUS opened =
      ifMissing == IfKeyMissing::Create
          ? RegCreateKeyExA(rootKey, keyPath.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE,
                            kKeyRights, &security, key.receive(), nullptr)
          : RegOpenKeyExA(rootKey, keyPath.c_str(), 0, kKeyRights, key.receive());
  if (opened != ERROR_SUCCESS) return opened;

  if (kind == KindText) {
    const std::string text = RegDataText(value);
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());  // with its zero byte
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, bytes,
                          static_cast<DWORD>(text.size() + 1));
  }
  if (number) {
    const auto bytes = varnelo::ToLittleEndian(static_cast<std::uint32_t>(*number));
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_BINARY, bytes.data(),
                          static_cast<DWORD>(bytes.size()));
  }
  return ERROR_INVALID_PARAMETER;
}

RegData ReadRegValue(HKEY const& rootKey, std::string keyPath, std::string valueName,
                     std::int32_t const& kind, RegData defaultValue) {
  ScopedKey key;
  if (RegOpenKeyExA(rootKey, keyPath.c_str(), 0, kKeyRights, key.receive()) != ERROR_SUCCESS) {
    return defaultValue;
  }

  if (kind == KindText) {
    std::array<char, kTextBufferSize> buffer{};
    DWORD type = REG_SZ;
    DWORD size = kTextBufferSize;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                         reinterpret_cast<LPBYTE>(buffer.data()), &size) == ERROR_SUCCESS) {
      // A full buffer with no zero byte gives all 256 bytes as text.
      return TextBeforeZero(buffer.data(), buffer.size());
    }
  } else if (kind == KindNumber) {
    std::array<std::uint8_t, 4> bytes{};
    DWORD type = REG_DWORD;
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, bytes.data(), &size) ==
        ERROR_SUCCESS) {
      // Whatever the stored type; a shorter value leaves the high bytes 0.
      return static_cast<std::int32_t>(varnelo::FromLittleEndian(bytes));
    }
  }
  return defaultValue;
}

std::int32_t EnumRegSubKeys(HKEY const& rootKey, std::string keyPath,
                            std::vector<std::string>& names) {
  return ListSubKeys(rootKey, keyPath, names, nullptr);
}

ExactValue ReadRegValueExact(HKEY const& rootKey, const std::string& keyPath,
                             const std::wstring& valueName) {
  using Found = ExactValue::Found;
  ExactValue result;
  ScopedKey key;
  const LSTATUS opened = RegOpenKeyExA(rootKey, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.receive());
  if (opened == ERROR_FILE_NOT_FOUND) return result;
  if (opened != ERROR_SUCCESS) return {Found::KeyRefused, opened, REG_NONE, {}};

  // Its size, then its bytes; a value that grew in between is asked for again.
  constexpr int kAttempts = 4;
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kAttempts && status == ERROR_MORE_DATA; ++attempt) {
    DWORD size = 0;
    status = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &result.type, nullptr, &size);
    if (status != ERROR_SUCCESS) break;
    result.data.assign(size, 0);
    status = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &result.type,
                              result.data.data(), &size);
    if (status == ERROR_SUCCESS) result.data.resize(size);  // it may have shrunk
  }
  if (status == ERROR_SUCCESS) {
    result.found = Found::Value;
  } else {
    result = {
        status == ERROR_FILE_NOT_FOUND ? Found::NoValue : Found::Failed, status, REG_NONE, {}};
  }
  return result;
}

LSTATUS RestoreRegValueExact(HKEY const& rootKey, const std::string& keyPath,
                              const std::wstring& valueName, DWORD type,
                              const std::vector<BYTE>* data) {
  ScopedKey key;
  if (const LSTATUS opened =
          RegOpenKeyExA(rootKey, keyPath.c_str(), 0, KEY_SET_VALUE, key.receive());
      opened != ERROR_SUCCESS) {
    return opened;
  }
  if (data == nullptr) {
    const LSTATUS deleted = RegDeleteValueW(key.get(), valueName.c_str());
    return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
  }
  return RegSetValueExW(key.get(), valueName.c_str(), 0, type, data->data(),
                        static_cast<DWORD>(data->size()));
}

std::int32_t EnumRegSubKeysChecked(HKEY const& rootKey, std::string keyPath,
                                   std::vector<std::string>& names, std::vector<bool>& misspelt) {
  return ListSubKeys(rootKey, keyPath, names, &misspelt);
}

}  // namespace Reg
