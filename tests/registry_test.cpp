// The Reg module against a scratch HKEY_CURRENT_USER. This file builds twice:
// natively over the in-memory registry and, under Wine, over the real one.
// Both must give the same answers.
#include "registry/reg.h"
#include "registry/scoped_key.h"
#include "support/hive.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using testing_support::Bytes;
using testing_support::Le32;
using testing_support::RawValue;
using testing_support::Tree;

namespace {

const HKEY kRoot = HKEY_CURRENT_USER;
constexpr char kKey[] = "Software\\VarneloProbe";
constexpr char kName[] = "IM Color";
constexpr wchar_t kWideName[] = L"IM Color";
const Reg::RegData kDefault = std::string("Error");

class RegistryTest : public testing_support::FreshHkcuTest {
 protected:
  Reg::RegData Read(std::int32_t kind) {
    return Reg::ReadRegValue(kRoot, kKey, kName, kind, kDefault);
  }
  bool Write(std::int32_t kind, Reg::RegData value, const std::string& key = kKey) {
    return Reg::WriteRegValue(kRoot, key, kName, kind, std::move(value));
  }
  struct StoredCase {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    Reg::RegData expected;
  };
  // Each value stored in turn reads as `kind` gives it.
  void ExpectReads(std::int32_t kind, const std::vector<StoredCase>& cases) {
    for (const auto& c : cases) {
      hive.SetRaw(kKey, kName, c.type, c.data);
      EXPECT_EQ(Read(kind), c.expected) << c.what;
    }
  }
};

// Kind 4 reads up to 4 bytes of any type, least significant first.
TEST_F(RegistryTest, ReadNumberTakesUpToFourBytesOfAnyType) {
  const std::vector<StoredCase> cases{
      {"binary FF 00 00 00", REG_BINARY, Bytes({0xFF, 0, 0, 0}), 255},
      {"binary blue", REG_BINARY, Bytes({0, 0, 0xFF, 0}), 16711680},
      {"dword FF FF FF FF", REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), -1},
      {"dword 80 00 00 80", REG_DWORD, Bytes({0x80, 0, 0, 0x80}),
       static_cast<std::int32_t>(0x80000080u)},
      {"one byte", REG_BINARY, Bytes({0x7F}), 0x7F},
      {"three bytes", REG_BINARY, Bytes({1, 2, 3}), 0x030201},
      {"no bytes", REG_BINARY, Bytes({}), 0},
      {"short text 12", REG_SZ, Bytes({'1', '2', 0}), 12849},
      {"five bytes", REG_BINARY, Bytes({1, 2, 3, 4, 5}), kDefault},
      {"text 16711680", REG_SZ, Bytes({'1', '6', '7', '1', '1', '6', '8', '0', 0}), kDefault},
  };
  ExpectReads(Reg::KindNumber, cases);
  hive.SetRaw(kKey, kName, REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Read(Reg::KindNumber), kDefault) << "an 8-byte number does not fit";
}

// Kind 1 reads up to 256 bytes of any type, up to the first zero byte.
TEST_F(RegistryTest, ReadTextTakesBytesBeforeTheFirstZero) {
  std::vector<BYTE> full(256, 'x');
  std::vector<BYTE> tooLong(257, 'x');
  const std::vector<StoredCase> cases{
      {"abc", REG_SZ, Bytes({'a', 'b', 'c', 0}), std::string("abc")},
      {"empty text", REG_SZ, Bytes({0}), std::string()},
      {"inner zero", REG_BINARY, Bytes({'a', 0, 'b', 'c'}), std::string("a")},
      {"number 65", REG_DWORD, Le32(65), std::string("A")},
      {"256 bytes, no zero", REG_BINARY, full, std::string(256, 'x')},
      {"257 bytes", REG_BINARY, tooLong, kDefault},
  };
  ExpectReads(Reg::KindText, cases);
}

TEST_F(RegistryTest, ReadGivesTheDefaultForMissingKeysValuesAndOtherKinds) {
  EXPECT_EQ(Read(Reg::KindNumber), kDefault) << "missing key";
  EXPECT_EQ(Reg::ReadRegValue(kRoot, kKey, kName, Reg::KindNumber, 7), Reg::RegData(7))
      << "the default comes back as given, whatever it holds";

  hive.SetRaw(kKey, "Other", REG_BINARY, Le32(1));
  EXPECT_EQ(Read(Reg::KindNumber), kDefault) << "missing value";

  hive.SetRaw(kKey, kName, REG_BINARY, Le32(255));
  for (const std::int32_t kind : {0, 2, 3, 5, 7, -1}) {
    EXPECT_EQ(Read(kind), kDefault) << "kind " << kind;
  }
  EXPECT_EQ(Read(Reg::KindNumber), Reg::RegData(255)) << "the value was there all along";
}

TEST_F(RegistryTest, ReadAsksForEveryKeyRightSoAReadOnlyKeyReadsAsMissing) {
  hive.SetRaw(kKey, kName, REG_BINARY, Le32(255));
  hive.RefuseRights(kKey, KEY_SET_VALUE);
  EXPECT_EQ(Read(Reg::KindNumber), kDefault);
}

TEST_F(RegistryTest, WriteStoresNumbersAsFourBinaryBytesAndTextAndCreatesTheKeyPath) {
  const std::string deep = std::string(kKey) + "\\Deeper\\Still";
  for (const std::int32_t kind : {Reg::KindNumber, Reg::KindBinary}) {
    SCOPED_TRACE(kind);
    hive.DeleteKey(kKey);
    EXPECT_TRUE(Write(kind, std::string("255"), deep));
    EXPECT_EQ(hive.GetRaw(deep, kName), (RawValue{REG_BINARY, Bytes({0xFF, 0, 0, 0})}));
    EXPECT_EQ(Reg::ReadRegValue(kRoot, deep, kName, Reg::KindNumber, kDefault), Reg::RegData(255));
  }
  const std::vector<std::tuple<std::int32_t, Reg::RegData, RawValue>> cases{
      {Reg::KindNumber, std::string("16711680"), {REG_BINARY, Bytes({0, 0, 0xFF, 0})}},
      {Reg::KindNumber, std::string("-2147483643"), {REG_BINARY, Bytes({5, 0, 0, 0x80})}},
      {Reg::KindNumber, std::int32_t{-1}, {REG_BINARY, Bytes({0xFF, 0xFF, 0xFF, 0xFF})}},
      {Reg::KindText, std::string("abc"), {REG_SZ, Bytes({'a', 'b', 'c', 0})}},
      {Reg::KindText, std::string(), {REG_SZ, Bytes({0})}},
      {Reg::KindText, std::int32_t{255}, {REG_SZ, Bytes({'2', '5', '5', 0})}},
  };
  for (const auto& [kind, value, stored] : cases) {
    EXPECT_TRUE(Write(kind, value));
    EXPECT_EQ(hive.GetRaw(kKey, kName), stored);
  }
  EXPECT_EQ(Read(Reg::KindText), Reg::RegData(std::string("255")));
}

// It hands back, read through the key it opened, exactly what it replaced;
// 元に戻す puts a location back only while it holds what was written.
TEST_F(RegistryTest, WriteReplacesAValueOfAnyFormerTypeAndHandsItBack) {
  using Found = Reg::ExactValue::Found;
  std::vector<BYTE> large(70000, 0xAB);  // past any fixed buffer
  const std::vector<std::pair<std::optional<RawValue>, Found>> formers{
      {RawValue{REG_DWORD, Le32(7)}, Found::Value},
      {RawValue{REG_SZ, Bytes({'l', 'o', 'n', 'g', 'e', 'r', 0})}, Found::Value},
      {RawValue{REG_BINARY, large}, Found::Value},
      {RawValue{REG_QWORD, {}}, Found::Value},  // present, empty
      {std::nullopt, Found::NoValue},
  };
  for (const auto& [former, found] : formers) {
    hive.DeleteKey(kKey);
    hive.CreateKey(kKey);
    if (former) hive.SetRaw(kKey, kName, former->type, former->data);
    const Reg::ExactValue exact = Reg::ReadRegValueExact(kRoot, kKey, kWideName);
    Reg::ExactValue replaced{Found::Failed, 0xDEAD, 0xBEEF, {9}};
    ASSERT_EQ(Reg::WriteRegValueStatus(kRoot, kKey, kName, Reg::KindNumber, std::string("65280"),
                                       Reg::IfKeyMissing::Fail, &replaced),
              ERROR_SUCCESS);
    const RawValue written{REG_BINARY, Bytes({0, 0xFF, 0, 0})};
    EXPECT_EQ(hive.GetRaw(kKey, kName), written);
    EXPECT_EQ(replaced.found, found);
    EXPECT_TRUE(Reg::SameValue(replaced, exact)) << "as an exact read gives it";

    // Put back only where the value is still what was written, or is already
    // what is to be put back; anything else is left alone.
    const Reg::ExactValue expected{Found::Value, ERROR_SUCCESS, written.type, written.data};
    const std::vector<BYTE>* back = former ? &replaced.data : nullptr;
    hive.SetRaw(kKey, kName, REG_BINARY, Le32(1));  // changed meanwhile
    EXPECT_EQ(Reg::RestoreRegValueExact(kRoot, kKey, kWideName, replaced.type, back, &expected),
              Reg::kValueChangedSince);
    EXPECT_EQ(hive.GetRaw(kKey, kName), (RawValue{REG_BINARY, Le32(1)}));
    hive.SetRaw(kKey, kName, written.type, written.data);
    for (const char* when : {"as written", "already put back"}) {
      EXPECT_EQ(Reg::RestoreRegValueExact(kRoot, kKey, kWideName, replaced.type, back, &expected),
                ERROR_SUCCESS)
          << when;
      EXPECT_EQ(hive.GetRaw(kKey, kName), former) << when;
    }
  }
  hive.DeleteKey(kKey);
  Reg::ExactValue replaced;
  EXPECT_EQ(Reg::WriteRegValueStatus(kRoot, kKey, kName, Reg::KindNumber, std::string("1"),
                                     Reg::IfKeyMissing::Create, &replaced),
            ERROR_SUCCESS);
  EXPECT_EQ(replaced.found, Found::NoValue) << "a key the write made had no value";
}

TEST_F(RegistryTest, WriteRefusesANumberThatIsNotA32BitWholeNumberAndTouchesNothing) {
  const Tree before = hive.Snapshot();
  for (const char* text : {"", "abc", "2147483648", "-2147483649", "1.5", " 1", "1 ", "0x10"}) {
    EXPECT_FALSE(Write(Reg::KindNumber, std::string(text))) << '"' << text << '"';
    EXPECT_FALSE(Write(Reg::KindBinary, std::string(text))) << '"' << text << '"';
  }
  EXPECT_EQ(hive.ChangesSince(before), "");
  EXPECT_FALSE(hive.KeyExists(kKey));
}

TEST_F(RegistryTest, WriteWithAnUnservedKindCreatesTheKeyButNoValue) {
  for (const std::int32_t kind : {0, 2, 5, -1}) {
    SCOPED_TRACE(kind);
    hive.DeleteKey(kKey);
    EXPECT_FALSE(Write(kind, std::string("255")));
    EXPECT_TRUE(hive.KeyExists(kKey));
    EXPECT_EQ(hive.GetRaw(kKey, kName), std::nullopt);
  }
}

TEST_F(RegistryTest, WriteFailsAndWritesNothingWhereARightIsRefused) {
  hive.SetRaw(kKey, kName, REG_BINARY, Le32(1));
  hive.RefuseRights(kKey, KEY_SET_VALUE);
  EXPECT_FALSE(Write(Reg::KindNumber, std::string("255")));
  EXPECT_EQ(hive.GetRaw(kKey, kName), (RawValue{REG_BINARY, Le32(1)}));
}

// Each row's subkeys made (below a key that also has a value), then listed
// into an array that held other names: registry order, without regard to
// case, as lower-case (the characters between "Z" and "a", "[" and "_",
// come before every letter).
TEST_F(RegistryTest, EnumListsSubkeysInRegistryOrderAndRebuildsTheArray) {
  const std::string longest(255, 'n');
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases{
      {{"beta", "Alpha", "gamma\\below"}, {"Alpha", "beta", "gamma"}},
      {{longest, "short"}, {longest, "short"}},  // a name of 255 bytes
      {{"b", "_x", "A", "[y", "Zed", "a_"}, {"[y", "_x", "A", "a_", "b", "Zed"}},
      // A key name may have 256 characters, one more than the 256-byte buffer
      // holds with its terminator: the listing stops there, keeping what it found.
      {{"a", std::string(256, 'm'), "z"}, {"a"}},
  };
  for (std::size_t row = 0; row < cases.size(); ++row) {
    const std::string parent = std::string(kKey) + "\\" + std::to_string(row);
    hive.SetRaw(parent, "a value is no subkey", REG_BINARY, Le32(1));
    for (const std::string& name : cases[row].first) hive.CreateKeyBelow(parent, name);
    std::vector<std::string> names{"1", "2", "3", "4", "5", "6", "7"};
    EXPECT_EQ(Reg::EnumRegSubKeys(kRoot, parent, names), static_cast<int>(cases[row].second.size()))
        << row;
    EXPECT_EQ(names, cases[row].second) << row;
  }
  // A name of 257 characters cannot be made at all.
  Reg::ScopedKey parent;
  ASSERT_EQ(RegOpenKeyExA(kRoot, kKey, 0, KEY_CREATE_SUB_KEY, parent.receive()), ERROR_SUCCESS);
  Reg::ScopedKey child;
  EXPECT_EQ(RegCreateKeyExA(parent.get(), std::string(257, 'n').c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, child.receive(), nullptr),
            ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, EnumFindingNothingLeavesTheArrayAsItWas) {
  const std::vector<std::string> stale{"old-1", "old-2"};
  std::vector<std::string> names = stale;
  EXPECT_EQ(Reg::EnumRegSubKeys(kRoot, kKey, names), 0) << "missing key";
  EXPECT_EQ(names, stale);

  hive.SetRaw(kKey, kName, REG_BINARY, Le32(1));
  EXPECT_EQ(Reg::EnumRegSubKeys(kRoot, kKey, names), 0) << "key without subkeys";
  EXPECT_EQ(names, stale);

  hive.CreateKey(std::string(kKey) + "\\child");
  hive.RefuseRights(kKey, KEY_ENUMERATE_SUB_KEYS);
  EXPECT_EQ(Reg::EnumRegSubKeys(kRoot, kKey, names), 0) << "enumeration refused";
  EXPECT_EQ(names, stale);
}

// What the routines rely on of the registry calls, pinned as Wine's own
// conformance tests pin them: the buffer followed by guard bytes and the
// length pre-filled, so that a write past the end, a write into a buffer
// reported as too small, or a wrong length shows.
TEST_F(RegistryTest, CallsKeepToTheirBuffersAndReportTheLengthTheyNeed) {
  hive.SetRaw(kKey, kName, REG_BINARY, Bytes({1, 2, 3, 4, 5}));
  hive.CreateKey(std::string(kKey) + "\\abcdef");
  Reg::ScopedKey key;
  ASSERT_EQ(RegOpenKeyExA(kRoot, kKey, 0, KEY_READ, key.receive()), ERROR_SUCCESS);
  const auto query = [&](BYTE* buffer, DWORD& size) {
    return RegQueryValueExA(key.get(), kName, nullptr, nullptr, buffer, &size);
  };
  const auto queryWide = [&](BYTE* buffer, DWORD& size) {  // as ReadRegValueExact asks
    return RegQueryValueExW(key.get(), kWideName, nullptr, nullptr, buffer, &size);
  };
  const auto sizeOnly = [&](BYTE*, DWORD& size) { return queryWide(nullptr, size); };
  const auto listAt = [&](DWORD index) {
    return [&key, index](BYTE* buffer, DWORD& size) {
      return RegEnumKeyExA(key.get(), index, reinterpret_cast<char*>(buffer), &size, nullptr,
                           nullptr, nullptr, nullptr);
    };
  };
  struct Case {
    const char* what;
    std::function<LSTATUS(BYTE*, DWORD&)> call;
    DWORD size;  // the buffer's size, as the call is told it
    LSTATUS status;
    DWORD sizeAfter;            // as the call reports it
    std::vector<BYTE> written;  // the buffer's first bytes after; the rest keeps its fill
  };
  constexpr BYTE kFill = 0xA5;
  const std::vector<Case> cases{
      {"value, buffer one byte short", query, 4, ERROR_MORE_DATA, 5, {}},
      {"value, buffer just large enough", query, 5, ERROR_SUCCESS, 5, Bytes({1, 2, 3, 4, 5})},
      {"value, larger buffer", query, 8, ERROR_SUCCESS, 5, Bytes({1, 2, 3, 4, 5})},
      {"Unicode name, size only", sizeOnly, 0, ERROR_SUCCESS, 5, {}},
      {"Unicode name, one byte short", queryWide, 4, ERROR_MORE_DATA, 5, {}},
      {"Unicode name, just large enough", queryWide, 5, ERROR_SUCCESS, 5, Bytes({1, 2, 3, 4, 5})},
      {"name, no room for its zero", listAt(0), 6, ERROR_MORE_DATA, 6, {}},
      {"name, room for its zero", listAt(0), 7, ERROR_SUCCESS, 6,
       Bytes({'a', 'b', 'c', 'd', 'e', 'f', 0})},
      {"past the last name", listAt(1), 7, ERROR_NO_MORE_ITEMS, 7, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> buffer(c.size + 8, kFill);
    DWORD size = c.size;
    EXPECT_EQ(c.call(buffer.data(), size), c.status);
    EXPECT_EQ(size, c.sizeAfter);
    std::vector<BYTE> expected = c.written;
    expected.resize(buffer.size(), kFill);
    EXPECT_EQ(buffer, expected);
  }
}

// A value exactly as stored, whatever its type and size, and put back so: the
// bytes read are the value's and no more (a guard after them would show), and
// putting them back over another value, or over none, gives the same value.
TEST_F(RegistryTest, ExactReadGivesTypeAndBytesThatRestorePutsBack) {
  const std::vector<RawValue> cases{
      {REG_BINARY, Bytes({1, 2, 3, 4, 5})},         {REG_BINARY, {}},
      {REG_NONE, Bytes({'a', 'b', 'c'})},           {REG_DWORD, Le32(0x80000005)},
      {REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 9})}, {0x1234, Bytes({0xA5, 0xA5})},
      {REG_BINARY, std::vector<BYTE>(65536, 0x5A)},
  };
  for (const RawValue& stored : cases) {
    SCOPED_TRACE(testing_support::Describe(stored));
    hive.SetRaw(kKey, kName, stored.type, stored.data);
    const Reg::ExactValue read = Reg::ReadRegValueExact(kRoot, kKey, kWideName);
    EXPECT_EQ(read.found, Reg::ExactValue::Found::Value);
    EXPECT_EQ((RawValue{read.type, read.data}), stored);
    for (const bool before : {true, false}) {  // over another value, then over none
      if (before) hive.SetRaw(kKey, kName, REG_SZ, Bytes({'x', 0}));
      if (!before) hive.DeleteValue(kKey, kName);
      EXPECT_EQ(Reg::RestoreRegValueExact(kRoot, kKey, kWideName, read.type, &read.data),
                ERROR_SUCCESS);
      EXPECT_EQ(hive.GetRaw(kKey, kName), stored);
    }
  }
}

// No value: read as NoValue, put back by deleting, which a missing value
// already is. No key: NoKey, and nothing put back creates it.
TEST_F(RegistryTest, ExactReadAndRestoreOfMissingValuesAndKeys) {
  using Found = Reg::ExactValue::Found;
  hive.SetRaw(kKey, "Neighbour", REG_SZ, Bytes({'x', 0}));
  EXPECT_EQ(Reg::ReadRegValueExact(kRoot, kKey, kWideName).found, Found::NoValue);
  EXPECT_EQ(Reg::RestoreRegValueExact(kRoot, kKey, kWideName, REG_NONE, nullptr), ERROR_SUCCESS);
  hive.SetRaw(kKey, kName, REG_BINARY, Le32(1));
  EXPECT_EQ(Reg::RestoreRegValueExact(kRoot, kKey, kWideName, REG_NONE, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(hive.GetRaw(kKey, kName), std::nullopt);

  const Tree before = hive.Snapshot();
  const std::string missing = std::string(kKey) + "\\Missing";
  EXPECT_EQ(Reg::ReadRegValueExact(kRoot, missing, kWideName).found, Found::NoKey);
  const std::vector<BYTE> data = Le32(1);
  EXPECT_EQ(Reg::RestoreRegValueExact(kRoot, missing, kWideName, REG_BINARY, &data),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(hive.ChangesSince(before), "");
}

// The 8-bit listing spells a character the code page lacks with a look-alike
// ("best fit") or '?'. The checked listing tells which names are the keys'
// own; a name with a real '?' is. Its names and its end are the 8-bit
// listing's: a name over 255 bytes in the code page ends it. The rows say
// what code page 1252 and what 932 make of each name; ctest runs this test a
// second time with the system code page 932 (LC_ALL=ja_JP.UTF-8).
TEST_F(RegistryTest, CheckedEnumTellsWhichListedNamesAreMisspelt) {
  struct Listed {
    std::string name;  // as listed; "" where the listing has ended before
    bool misspelt = false;
  };
  struct Case {
    std::string name;  // UTF-8
    Listed western;    // code page 1252
    Listed japanese;   // code page 932
  };
  const auto times = [](int n, const std::string& text) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
  };
  const std::string nichi = "\u65E5";  // 日: 2 bytes in 932
  // clang-format off
  const std::vector<Case> cases{
      {"a?b", {"a?b"}, {"a?b"}},
      {"b\uFF3Cc", {"b\\c", true}, {"b\x81\x5F" "c"}},          // full-width reverse solidus
      {"c\u2215d", {"c/d", true}, {"c?d", true}},               // division slash
      {"d\uFF21", {"dA", true}, {"d\x82\x60"}},                 // full-width A
      {"e\uD55C", {"e?", true}, {"e?", true}},                  // Hangul: no look-alike
      {"f\u65E5\u672C", {"f??", true}, {"f\x93\xFA\x96\x7B"}},  // 日本
      {"g\u00A5", {"g\xA5"}, {"g\\", true}},                    // yen sign
      {"plain", {"plain"}, {"plain"}},
      {"w" + times(127, nichi), {"w" + std::string(127, '?'), true},
       {"w" + times(127, "\x93\xFA")}},                         // 255 bytes in 932
      {"x" + times(128, nichi), {"x" + std::string(128, '?'), true}, {}},  // 257 bytes in 932
      {std::string(256, 'y'), {}, {}},                          // 256 bytes in both
      {"zz-after-the-end", {}, {}},
  };
  // clang-format on
  const bool japanese = GetACP() == 932;
  std::vector<std::string> listed;
  std::vector<bool> misspelt;
  for (const auto& c : cases) {
    hive.CreateKeyNamed(kKey, c.name);
    const Listed& expected = japanese ? c.japanese : c.western;
    if (expected.name.empty()) continue;
    listed.push_back(expected.name);
    misspelt.push_back(expected.misspelt);
  }
  std::vector<std::string> names;
  std::vector<bool> flags{true};
  EXPECT_EQ(Reg::EnumRegSubKeysChecked(kRoot, kKey, names, flags), std::ssize(listed));
  EXPECT_EQ(names, listed);
  EXPECT_EQ(flags, misspelt);
}

// The A functions hand the whole key path over in a 261-character buffer.
TEST_F(RegistryTest, AKeyPathOver260CharactersCanBeNeitherReadNorWritten) {
  const std::string parent = std::string(kKey) + "\\";
  const std::string fits = parent + std::string(260 - parent.size(), 'f');
  const std::string tooLong = parent + std::string(261 - parent.size(), 'l');
  EXPECT_TRUE(Write(Reg::KindNumber, std::string("255"), fits));
  EXPECT_EQ(Reg::ReadRegValue(kRoot, fits, kName, Reg::KindNumber, kDefault), Reg::RegData(255));

  hive.CreateKeyBelow(kKey, tooLong.substr(parent.size()));
  hive.SetRaw(kKey, kName, REG_BINARY, Le32(1));
  const Tree before = hive.Snapshot();
  EXPECT_FALSE(Write(Reg::KindNumber, std::string("255"), tooLong));
  EXPECT_EQ(Reg::ReadRegValue(kRoot, tooLong, kName, Reg::KindNumber, kDefault), kDefault);
  std::vector<std::string> names{"stale"};
  EXPECT_EQ(Reg::EnumRegSubKeys(kRoot, tooLong, names), 0);
  EXPECT_EQ(hive.ChangesSince(before), "");
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCase) {
  hive.SetRaw("software\\VARNELOPROBE", "im color", REG_BINARY, Le32(255));
  EXPECT_EQ(Read(Reg::KindNumber), Reg::RegData(255));
  EXPECT_TRUE(Write(Reg::KindNumber, std::string("65280")));
  EXPECT_EQ(hive.GetRaw(kKey, kName), (RawValue{REG_BINARY, Le32(65280)}));
}

TEST_F(RegistryTest, RoutinesChangeNothingButTheirOneValue) {
  hive.SetRaw(kKey, kName, REG_DWORD, Le32(3));
  hive.SetRaw(kKey, "Neighbour", REG_SZ, Bytes({'x', 0}));
  hive.SetRaw("Software\\Elsewhere", kName, REG_BINARY, Le32(9));
  const Tree before = hive.Snapshot();

  std::vector<std::string> names;
  Read(Reg::KindNumber);
  Read(Reg::KindText);
  Reg::EnumRegSubKeys(kRoot, "Software", names);
  EXPECT_EQ(hive.ChangesSince(before), "") << "reading and listing write nothing";

  EXPECT_TRUE(Write(Reg::KindNumber, std::string("3")));
  Tree expected = before;
  SetValue(expected, kKey, kName, {REG_BINARY, Le32(3)});
  EXPECT_EQ(hive.ChangesSince(expected), "");
}

}  // namespace
