#include "core/registry_file.h"

#include "base/code_page.h"
#include "base/little_endian.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace varnelo {
namespace {

// Lower-case hex digits, at least `width` of them.
std::wstring Hex(unsigned long long number, std::size_t width) {
  constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring out;
  do {
    out.insert(out.begin(), kDigits[number & 0xF]);
    number >>= 4;
  } while (number != 0);
  if (out.size() < width) out.insert(0, width - out.size(), L'0');
  return out;
}

// "hex:00,01,...": regedit breaks the list after the comma that takes a line
// to 77 characters or more (counting from `lineLength`, what stands before
// the list), with a backslash, and goes on after two spaces.
std::wstring HexList(const std::vector<BYTE>& data, std::size_t lineLength) {
  constexpr std::size_t kBreakAt = 77;
  std::wstring out;
  for (std::size_t i = 0; i < data.size(); ++i) {
    out += Hex(data[i], 2);
    if (i + 1 == data.size()) break;
    out += L',';
    lineLength += 3;
    if (lineLength >= kBreakAt) {
      out += L"\\\r\n  ";
      lineLength = 2;
    }
  }
  return out;
}

// The value's data as it follows '='.
std::wstring Data(const SavedColor& entry, std::size_t lineLength) {
  if (!entry.present) return L"-";
  const std::vector<BYTE>& data = entry.data;
  if (entry.type == REG_DWORD && data.size() == 4) {
    return L"dword:" + Hex(FromLittleEndian({data[0], data[1], data[2], data[3]}), 8);
  }
  const std::wstring type =
      entry.type == REG_BINARY ? L"hex:" : L"hex(" + Hex(entry.type, 1) + L"):";
  return type + HexList(data, lineLength + type.size());
}

std::string Utf16LeWithBom(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + 2 * text.size());
  for (const wchar_t c : text) {
    const auto unit = static_cast<std::uint16_t>(c);  // UTF-16 code units on Windows
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace

std::optional<std::string> RegistryFile(const std::vector<SavedColor>& entries,
                                        std::string& badKey) {
  // "IM Color" is ASCII with nothing to escape ('\\' or '"').
  const std::string_view valueName(kColorValueName);
  const std::wstring name = L"\"" + std::wstring(valueName.begin(), valueName.end()) + L"\"=";
  std::wstring text = L"Windows Registry Editor Version 5.00\r\n";
  for (const SavedColor& entry : entries) {
    const auto key = WidenExactly(entry.keyPath);
    // A line break would end the key's line early, and what follows it
    // could name another key.
    if (!key || key->find_first_of(L"\r\n") != std::wstring::npos) {
      badKey = entry.keyPath;
      return std::nullopt;
    }
    text +=
        L"\r\n[HKEY_CURRENT_USER\\" + *key + L"]\r\n" + name + Data(entry, name.size()) + L"\r\n";
  }
  return Utf16LeWithBom(text + L"\r\n");
}

}  // namespace varnelo
