// The registry file /export writes, compared with what regedit and Wine 8's
// reg export write for the same values (the long lists exactly as Wine
// wrapped them), and the names it may be written under.
#include "core/registry_file.h"
#include "core/backup_file.h"
#include "core/file_names.h"

#include <gtest/gtest.h>

namespace {

// The file's text after its byte-order mark, a wchar_t for each UTF-16LE unit.
std::wstring Text(const std::string& file) {
  EXPECT_EQ(file.substr(0, 2), "\xFF\xFE");
  std::wstring text;
  for (std::size_t i = 2; i + 1 < file.size(); i += 2) {
    text += static_cast<wchar_t>(static_cast<BYTE>(file[i]) | static_cast<BYTE>(file[i + 1]) << 8);
  }
  return text;
}

TEST(RegistryFileTest, EachValueAsRegeditWritesIt) {
  std::vector<BYTE> bytes300(300);
  for (std::size_t i = 0; i < 256; ++i) bytes300[i] = static_cast<BYTE>(i);
  const std::vector<BYTE> first60(bytes300.begin(), bytes300.begin() + 60);
  const struct {
    varnelo::SavedColor entry;
    const wchar_t* lines;  // between the header's blank line and the file's last
  } cases[] = {
      {{"Software\\Microsoft\\MSNMessenger", true, REG_BINARY, {0, 0, 0xFF, 0}},
       L"[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n\"IM Color\"=hex:00,00,ff,00"},
      // In brackets, what is escaped elsewhere stands as it is; the 8-bit name
      // is converted from the code page (the stand-in's is Latin-1).
      {{"Accounts\\a\"b\\c]=[d;\xE9 ", false, REG_NONE, {}},
       L"[HKEY_CURRENT_USER\\Accounts\\a\"b\\c]=[d;\u00E9 ]\r\n\"IM Color\"=-"},
      {{"K", true, REG_DWORD, {0, 0xFF, 0, 0x80}},
       L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=dword:8000ff00"},
      {{"K", true, REG_DWORD, {1, 2}}, L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(4):01,02"},
      {{"K", true, REG_SZ, {'2', 0, 0xFF}},
       L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(1):32,00,ff"},
      {{"K", true, REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 0xF8}},
       L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(b):01,02,03,04,05,06,07,f8"},
      {{"K", true, REG_BINARY, {}}, L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex:"},
      {{"K", true, REG_NONE, {}}, L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(0):"},
      {{"K", true, REG_EXPAND_SZ, {'%', 0}},
       L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(2):25,00"},
      {{"K", true, REG_DWORD_BIG_ENDIAN, {0, 0, 0xFF, 0}},
       L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(5):00,00,ff,00"},
      {{"K", true, REG_MULTI_SZ, {'a', 0, 0, 0}},
       L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(7):61,00,00,00"},
      {{"K", true, 0xFFFFFFFF, {1}}, L"[HKEY_CURRENT_USER\\K]\r\n\"IM Color\"=hex(ffffffff):01"},
      {{"K", true, 0x12345, first60},
       L"[HKEY_CURRENT_USER\\K]\r\n"
       L"\"IM Color\"=hex(12345):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,\\\r\n"
       L"  13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,\\\r\n"
       L"  2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b"},
      {{"K", true, REG_BINARY, bytes300},
       L"[HKEY_CURRENT_USER\\K]\r\n"
       L"\"IM Color\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\r\n"
       L"  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,\\\r\n"
       L"  2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,\\\r\n"
       L"  47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,\\\r\n"
       L"  60,61,62,63,64,65,66,67,68,69,6a,6b,6c,6d,6e,6f,70,71,72,73,74,75,76,77,78,\\\r\n"
       L"  79,7a,7b,7c,7d,7e,7f,80,81,82,83,84,85,86,87,88,89,8a,8b,8c,8d,8e,8f,90,91,\\\r\n"
       L"  92,93,94,95,96,97,98,99,9a,9b,9c,9d,9e,9f,a0,a1,a2,a3,a4,a5,a6,a7,a8,a9,aa,\\\r\n"
       L"  ab,ac,ad,ae,af,b0,b1,b2,b3,b4,b5,b6,b7,b8,b9,ba,bb,bc,bd,be,bf,c0,c1,c2,c3,\\\r\n"
       L"  c4,c5,c6,c7,c8,c9,ca,cb,cc,cd,ce,cf,d0,d1,d2,d3,d4,d5,d6,d7,d8,d9,da,db,dc,\\\r\n"
       L"  dd,de,df,e0,e1,e2,e3,e4,e5,e6,e7,e8,e9,ea,eb,ec,ed,ee,ef,f0,f1,f2,f3,f4,f5,\\\r\n"
       L"  f6,f7,f8,f9,fa,fb,fc,fd,fe,ff,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\\\r\n"
       L"  00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\\\r\n"
       L"  00,00,00,00"},
  };
  for (const auto& c : cases) {
    std::string badKey;
    const auto file = varnelo::RegistryFile({c.entry}, badKey);
    ASSERT_TRUE(file.has_value()) << badKey;
    EXPECT_EQ(Text(*file), L"Windows Registry Editor Version 5.00\r\n\r\n" + std::wstring(c.lines) +
                               L"\r\n\r\n");
  }
}

// No file at all if a key's name has a line break, which would end its line
// and could name another key.
TEST(RegistryFileTest, NoKeyWithALineBreak) {
  std::string badKey;
  const std::string broken = "A\r\n[HKEY_CURRENT_USER\\Other]";
  EXPECT_FALSE(varnelo::RegistryFile({{"B", false, 0, {}}, {broken, false, 0, {}}}, badKey));
  EXPECT_EQ(badKey, broken);
}

// Names that can never be a file are refused by their text alone.
TEST(FileNamesTest, RefusedBeforeAnythingIsOpened) {
  std::vector<std::pair<std::wstring, DWORD>> cases{
      {L"CONSOLE.reg", ERROR_SUCCESS},
      {L"COM10", ERROR_SUCCESS},
      {L"con\\colours.reg", ERROR_SUCCESS},  // a folder of that name is not the device
      {L"xcon", ERROR_SUCCESS},
      {L"\\\\?\\C:\\" + std::wstring(255, L'n'), ERROR_SUCCESS},
      {L"C:" + std::wstring(256, L'n'), ERROR_FILENAME_EXCED_RANGE},
      {std::wstring(300, L'n') + L"\\short.reg", ERROR_SUCCESS},  // a folder's name is its own
  };
  for (const wchar_t* device :
       {L"CON", L"conout$", L"con.reg", L"CON:", L"x\\..\\CON", L"C:Nul .reg",
        L"d:/backup/com9.txt", L"LPT\u00B9", L"\\\\.\\PRN", L"aux.a.b"})
    cases.emplace_back(device, varnelo::kErrorIsADevice);
  for (const auto& [path, refused] : cases) {
    SCOPED_TRACE(std::string(path.begin(), path.end()).substr(0, 40));
    EXPECT_EQ(varnelo::RefusedFileName(path), refused);
  }
  // What a Linux file system (Wine's) counts: 255 bytes at most.
  const std::vector<std::pair<std::wstring, std::size_t>> utf8{
      {L"", 0},
      {L"a\u00E9\u3042", 1 + 2 + 3},
      {std::wstring(86, L'\u3042') + L".reg", 262},
      {L"\U0001F600", 4},  // one character beyond 16 bits: a pair of units on Windows
      {std::wstring(1, wchar_t(0xD800)) + L"x", 4},  // a lone surrogate, then an ASCII letter
  };
  for (const auto& [name, bytes] : utf8) EXPECT_EQ(varnelo::Utf8Length(name), bytes);
  EXPECT_EQ(varnelo::FolderPart(L"C:\\a\\b.reg"), L"C:\\a\\");
  EXPECT_EQ(varnelo::FolderPart(L"C:b.reg"), L"C:");
  EXPECT_EQ(varnelo::FolderPart(L"b.reg"), L"");
  EXPECT_EQ(varnelo::BackupFileName(2024, 3, 7), L"im-colours-20240307.reg");
}

}  // namespace
