#include "registry/reg.h"

#include "base/code_page.h"
#include "base/decimal.h"
#include "base/little_endian.h"
#include "registry/scoped_key.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <span>
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

// The start of a listing: the open key, or nothing where it cannot be listed.
ScopedKey OpenForListing(HKEY rootKey, const std::string& keyPath) {
  ScopedKey key;
  if (RegOpenKeyExA(rootKey, keyPath.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.receive()) !=
      ERROR_SUCCESS) {
    return ScopedKey();
  }
  return key;
}

// A key's Unicode name in the system's 8-bit code page: `bytes` is the name
// RegEnumKeyExA gives for it, `exact` whether that is the key's own name.
struct AnsiName {
  std::string_view bytes;
  bool exact = false;
};

// RegEnumKeyExA converts the Unicode name to the code page with best fit; so
// does this, into `buffer`. Tried first without best fit: where no default
// character is needed and the bytes convert back to the same Unicode name,
// they are the best-fit bytes too, and the key's own name.
AnsiName ToAnsiName(std::wstring_view wide, std::span<char> buffer) {
  // Every ANSI code page Windows has (DBCS and UTF-8 among them) spells ASCII
  // as ASCII: most names need no conversion call.
  if (std::all_of(wide.begin(), wide.end(), [](wchar_t c) { return c < 0x80; })) {
    std::transform(wide.begin(), wide.end(), buffer.begin(),
                   [](wchar_t c) { return static_cast<char>(c); });
    return {{buffer.data(), wide.size()}, true};
  }
  const int wideLength = static_cast<int>(wide.size());
  const int bufferSize = static_cast<int>(buffer.size());
  BOOL usedDefault = FALSE;
  int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                   buffer.data(), bufferSize, nullptr, &usedDefault);
  if (length == 0) {
    // A UTF-8 system code page (Windows 10 and later can have one) takes
    // neither that flag nor a default character: it spells every character
    // and refuses only a broken surrogate pair. Elsewhere this fails too.
    constexpr DWORD kErrorOnInvalidChars = 0x80;  // WC_ERR_INVALID_CHARS, Vista's
    usedDefault = FALSE;
    length = WideCharToMultiByte(CP_ACP, kErrorOnInvalidChars, wide.data(), wideLength,
                                 buffer.data(), bufferSize, nullptr, nullptr);
  }
  if (length > 0 && usedDefault == FALSE) {
    const std::string_view bytes(buffer.data(), static_cast<std::size_t>(length));
    if (varnelo::WidenExactly(bytes) == wide) return {bytes, true};
  }
  length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, buffer.data(), bufferSize,
                               nullptr, nullptr);
  return {{buffer.data(), static_cast<std::size_t>(length)}, false};
}

// The name at `index` by RegEnumKeyExA or RegEnumKeyExW, into `name`: its
// length, or nothing where the listing ends: 259 (no more items) is the usual
// end; any other status, such as 234 for a name longer than 255 characters,
// ends it the same way.
template <class Char, class EnumKey>
std::optional<DWORD> NameAt(EnumKey enumKey, HKEY key, DWORD index, std::span<Char> name) {
  DWORD size = static_cast<DWORD>(name.size());
  DWORD classSize = 0;
  FILETIME lastWrite{};
  if (enumKey(key, index, name.data(), &size, nullptr, nullptr, &classSize, &lastWrite) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return size;
}

// The listing both EnumRegSubKeys and EnumRegSubKeysChecked make: one name
// per index from `nameAt(key, index)`, which gives nothing where the listing
// ends. Where `misspelt` is given, it is rebuilt alongside `names`.
template <class NameAt>
std::int32_t ListSubKeys(HKEY rootKey, const std::string& keyPath, std::vector<std::string>& names,
                         std::vector<bool>* misspelt, NameAt nameAt) {
  const ScopedKey key = OpenForListing(rootKey, keyPath);
  if (!key.get()) return 0;

  std::int32_t count = 0;
  while (const std::optional<AnsiName> name = nameAt(key.get(), static_cast<DWORD>(count))) {
    if (count == 0) {  // the first name found starts the arrays afresh
      names.clear();
      if (misspelt) misspelt->clear();
    }
    names.push_back(TextBeforeZero(name->bytes.data(), name->bytes.size()));
    // A zero inside the name cuts the 8-bit name short of the key's.
    if (misspelt) misspelt->push_back(!name->exact || names.back().size() != name->bytes.size());
    ++count;
  }
  return count;
}

// The value as stored, read through an open key: its size, then its bytes;
// a value that grew in between is asked for again.
ExactValue ReadExactFrom(HKEY key, const std::wstring& valueName) {
  using Found = ExactValue::Found;
  ExactValue result;
  constexpr int kAttempts = 4;
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kAttempts && status == ERROR_MORE_DATA; ++attempt) {
    DWORD size = 0;
    status = RegQueryValueExW(key, valueName.c_str(), nullptr, &result.type, nullptr, &size);
    if (status != ERROR_SUCCESS) break;
    result.data.assign(size, 0);
    status =
        RegQueryValueExW(key, valueName.c_str(), nullptr, &result.type, result.data.data(), &size);
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

// A value name for the Unicode calls, as the 8-bit ones read it. Every ANSI
// code page spells ASCII as ASCII, so such a name (the program's are) needs
// no conversion call: 設 定 asks for it once per location.
std::optional<std::wstring> WideValueName(const std::string& name) {
  if (std::all_of(name.begin(), name.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return std::wstring(name.begin(), name.end());
  }
  return varnelo::WidenExactly(name);
}

}  // namespace

std::string RegDataText(const RegData& data) {
  if (const auto* number = std::get_if<std::int32_t>(&data)) return varnelo::Decimal(*number);
  return std::get<std::string>(data);
}

bool WriteRegValue(HKEY const& rootKey, std::string keyPath, std::string valueName,
                   std::int32_t const& kind, RegData value) {
  return WriteRegValueStatus(rootKey, keyPath, valueName, kind, value) == ERROR_SUCCESS;
}

LSTATUS WriteRegValueStatus(HKEY const& rootKey, const std::string& keyPath,
                            const std::string& valueName, std::int32_t const& kind,
                            const RegData& value, IfKeyMissing ifMissing, ExactValue* replaced) {
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
  if (replaced != nullptr) {
    const std::optional<std::wstring> wideName = WideValueName(valueName);
    *replaced =
        wideName
            ? ReadExactFrom(key.get(), *wideName)
            : ExactValue{ExactValue::Found::Failed, ERROR_NO_UNICODE_TRANSLATION, REG_NONE, {}};
  }

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
  std::array<char, kNameBufferSize> bytes{};
  return ListSubKeys(rootKey, keyPath, names, nullptr,
                     [&bytes](HKEY key, DWORD index) -> std::optional<AnsiName> {
                       const auto size = NameAt<char>(RegEnumKeyExA, key, index, bytes);
                       if (!size) return std::nullopt;
                       return AnsiName{{bytes.data(), *size}, true};
                     });
}

ExactValue ReadRegValueExact(HKEY const& rootKey, const std::string& keyPath,
                             const std::wstring& valueName) {
  ScopedKey key;
  const LSTATUS opened = RegOpenKeyExA(rootKey, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.receive());
  if (opened == ERROR_FILE_NOT_FOUND) return {};
  if (opened != ERROR_SUCCESS) return {ExactValue::Found::KeyRefused, opened, REG_NONE, {}};
  return ReadExactFrom(key.get(), valueName);
}

bool SameValue(const ExactValue& a, const ExactValue& b) {
  using Found = ExactValue::Found;
  if (a.found == Found::Value && b.found == Found::Value) {
    return a.type == b.type && a.data == b.data;
  }
  return a.found == Found::NoValue && b.found == Found::NoValue;
}

LSTATUS RestoreRegValueExact(HKEY const& rootKey, const std::string& keyPath,
                             const std::wstring& valueName, DWORD type,
                             const std::vector<BYTE>* data, const ExactValue* onlyIf) {
  ScopedKey key;
  const REGSAM rights = onlyIf != nullptr ? KEY_QUERY_VALUE | KEY_SET_VALUE : KEY_SET_VALUE;
  if (const LSTATUS opened = RegOpenKeyExA(rootKey, keyPath.c_str(), 0, rights, key.receive());
      opened != ERROR_SUCCESS) {
    return opened;
  }
  if (onlyIf != nullptr) {
    const ExactValue now = ReadExactFrom(key.get(), valueName);
    if (now.found == ExactValue::Found::Failed) return now.status;
    if (!SameValue(now, *onlyIf)) {
      // Already as it is to be put back (a backup imported, say): done.
      const bool putBackAlready = data == nullptr ? now.found == ExactValue::Found::NoValue
                                                  : now.found == ExactValue::Found::Value &&
                                                        now.type == type && now.data == *data;
      return putBackAlready ? ERROR_SUCCESS : kValueChangedSince;
    }
  }
  if (data == nullptr) {
    const LSTATUS deleted = RegDeleteValueW(key.get(), valueName.c_str());
    return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
  }
  return RegSetValueExW(key.get(), valueName.c_str(), 0, type, data->data(),
                        static_cast<DWORD>(data->size()));
}

// Each index is listed once, with RegEnumKeyExW, and its 8-bit name made here
// as RegEnumKeyExA would make it: one listing call per key, not the 8-bit one
// and the Unicode one, and the same names and the same end.
std::int32_t EnumRegSubKeysChecked(HKEY const& rootKey, std::string keyPath,
                                   std::vector<std::string>& names, std::vector<bool>& misspelt) {
  std::array<wchar_t, kNameBufferSize> wide{};
  // Up to 3 bytes a character (UTF-8); a DBCS code page takes 2.
  std::array<char, 3 * kNameBufferSize> bytes{};
  return ListSubKeys(rootKey, keyPath, names, &misspelt,
                     [&wide, &bytes](HKEY key, DWORD index) -> std::optional<AnsiName> {
                       const auto size = NameAt<wchar_t>(RegEnumKeyExW, key, index, wide);
                       if (!size) return std::nullopt;
                       const AnsiName name = ToAnsiName({wide.data(), *size}, bytes);
                       // RegEnumKeyExA's 234: the name does not fit in 255
                       // bytes of the code page (or, never seen, has no 8-bit
                       // spelling at all).
                       if (name.bytes.empty() || name.bytes.size() >= kNameBufferSize) {
                         return std::nullopt;
                       }
                       return name;
                     });
}

}  // namespace Reg
