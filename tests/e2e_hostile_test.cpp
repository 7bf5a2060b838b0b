// The real varnelo.exe under Wine against odd registry data: every value
// type at sizes 0 to 5, 256 and 65536 bytes in each kind of Messenger
// location, a thousand account keys, account names at and past the length
// limits, keys changed while the window is open, and a toolkit failure at
// start-up. The window must stay up, show what the rules say (a value that
// cannot be read as at most 4 bytes counts as absent), write "IM Color" as 4
// REG_BINARY bytes only where the rules allow, and leave the rest of
// HKEY_CURRENT_USER as it was.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "support/driver.h"

namespace e2e {
namespace {

struct OddType {
  DWORD type;
  const char* name;
};
constexpr std::array<OddType, 8> kTypes{{{REG_NONE, "None"},
                                         {REG_SZ, "Sz"},
                                         {REG_EXPAND_SZ, "ExpandSz"},
                                         {REG_BINARY, "Binary"},
                                         {REG_DWORD, "Dword"},
                                         {REG_DWORD_BIG_ENDIAN, "DwordBigEndian"},
                                         {REG_MULTI_SZ, "MultiSz"},
                                         {REG_QWORD, "Qword"}}};
constexpr std::array<std::size_t, 8> kSizes{0, 1, 2, 3, 4, 5, 256, 65536};

bool Readable(std::size_t size) { return size <= 4; }

// The bytes of an odd value. Printable, so the text types pass through the
// code page unchanged; different for each type, size and `salt`, so the
// label shows which value it took; a 4-byte value ends in 0, so the number
// read is a colour the window writes back.
std::vector<BYTE> Pattern(std::size_t typeIndex, std::size_t size, int salt) {
  std::vector<BYTE> data(size);
  for (std::size_t i = 0; i < size; ++i) {
    data[i] =
        static_cast<BYTE>(0x21 + salt + 2 * static_cast<int>(typeIndex) + static_cast<int>(i % 3));
  }
  if (size == 4) data[3] = 0;
  return data;
}

class HostileTest : public ClearedMessengerTest {
 protected:
  // Both labels show `colour` as their text colour.
  static void ExpectShown(const Varnelo& app, COLORREF colour) {
    EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), Ink{colour}) << "ColorT1";
    EXPECT_EQ(InkColors(app.Control(ids::ColorT2)), Ink{colour}) << "ColorT2";
  }

  static void CloseNormally(Varnelo& app) {
    ASSERT_FALSE(app.WaitForExit(0)) << "the program ended by itself";
    app.CloseWithButton();
  }
};

// ---- every type and size, in every kind of location ------------------------

class OddValueTest : public HostileTest, public ::testing::WithParamInterface<std::size_t> {};

// One start per size: MSN Messenger and Windows Messenger hold a value of
// that size; seven account keys hold one of each size up to 256 bytes, the
// one of 4 bytes being the last that can be read (an eighth of 64 KiB only
// in the start of that size, to keep the tree's dumps small). Then 設 定
// twice: once as started, once after MSN Messenger's value was replaced by
// one of another size.
TEST_P(OddValueTest, AValueOfMoreThanFourBytesCountsAsAbsentWhereverItIs) {
  const std::size_t type = GetParam();
  const DWORD regType = kTypes[type].type;
  for (std::size_t s = 0; s < kSizes.size(); ++s) {
    const std::size_t size = kSizes[s];
    const std::size_t laterSize = kSizes[(s + 3) % kSizes.size()];
    SCOPED_TRACE(std::string(kTypes[type].name) + ", " + std::to_string(size) + " bytes, then " +
                 std::to_string(laterSize));
    ClearMessenger(hive);
    const std::vector<BYTE> msn = Pattern(type, size, 0);
    hive.SetRaw(kMsn, kValue, regType, msn);
    hive.SetRaw(kService, kValue, regType, Pattern(type, size, 0x18));
    std::vector<std::string> accounts;
    for (std::size_t a = 0; a < kSizes.size() && (kSizes[a] < 65536 || size == 65536); ++a) {
      accounts.push_back(Account("a" + std::to_string(a)));
      hive.SetRaw(accounts.back(), kValue, regType, Pattern(type, kSizes[a], 0x30));
    }
    const COLORREF lastAccount = FromLe32(Pattern(type, 4, 0x30));
    const COLORREF shown = Readable(size) ? FromLe32(msn) : lastAccount;
    const Tree before = hive.Snapshot();

    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    ExpectShown(app, shown);

    if (Readable(size)) accounts.insert(accounts.begin(), {kMsn, kService});
    ASSERT_TRUE(ApplyAndCheck(app, before, shown, accounts)) << "the first 設 定 did not finish";

    hive.SetRaw(kMsn, kValue, regType, Pattern(type, laterSize, 0x08));
    // Read back: Wine lists some unterminated texts with a zero added.
    ASSERT_TRUE(ApplyAndCheck(
        app, hive.Snapshot(), shown,
        Readable(laterSize) ? std::vector<std::string>{kMsn} : std::vector<std::string>{}))
        << "the second 設 定 did not finish";

    CloseNormally(app);
  }
}

std::string TypeName(const ::testing::TestParamInfo<std::size_t>& type) {
  return kTypes[type.param].name;
}

INSTANTIATE_TEST_SUITE_P(EveryType, OddValueTest, ::testing::Range<std::size_t>(0, kTypes.size()),
                         TypeName);

// ---- many keys, long names ---------------------------------------------------

TEST_F(HostileTest, AThousandAccountKeysAreAllListedAndWritten) {
  std::vector<std::string> accounts;
  for (int i = 0; i < 1000; ++i) {
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), "user%04d@example.com", i);
    accounts.push_back(Account(name.data()));
    hive.CreateKey(accounts.back());
  }
  hive.SetColor(accounts[0], kRed);
  hive.SetRaw(accounts[500], kValue, REG_SZ, Bytes({'A', 'B', 0}));
  hive.SetRaw(accounts[998], kValue, REG_DWORD, Le32(kBlue));
  hive.SetRaw(accounts[999], kValue, REG_BINARY, std::vector<BYTE>(65536, 0x7F));
  const Tree before = hive.Snapshot();

  Varnelo app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  ExpectShown(app, kBlue);
  ASSERT_TRUE(ApplyAndCheck(app, before, kBlue, accounts));
  CloseNormally(app);
}

// The whole path of an account key may have 260 characters (a name of 208
// after the 52 of its parent); a longer one is listed but can be neither
// read nor written. A name of 256 characters does not fit the listing's
// buffer: the listing ends there, so later keys are neither shown nor written.
TEST_F(HostileTest, AccountNamesPastTheLimitsAreSkippedOrEndTheListing) {
  const std::string fits(208, 'b');
  hive.CreateKeyBelow(kAccounts, fits, RawValue{REG_DWORD, Le32(kGreen)});
  hive.CreateKeyBelow(kAccounts, std::string(209, 'c'), RawValue{REG_BINARY, Le32(kRed)});
  hive.CreateKeyBelow(kAccounts, std::string(255, 'd'), RawValue{REG_BINARY, Le32(kRed)});
  hive.CreateKeyBelow(kAccounts, std::string(256, 'e'), RawValue{REG_BINARY, Le32(kRed)});
  hive.CreateKeyBelow(kAccounts, "zz-after-the-long-one", RawValue{REG_BINARY, Le32(kBlue)});
  const Tree before = hive.Snapshot();

  Varnelo app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  ExpectShown(app, kGreen);
  ASSERT_TRUE(ApplyAndCheck(app, before, kGreen, {Account(fits)},
                            {Account(std::string(209, 'c')), Account(std::string(255, 'd'))}));
  CloseNormally(app);
}

// ---- changes behind the window's back ---------------------------------------

TEST_F(HostileTest, KeysDeletedAndAddedWhileTheWindowIsOpen) {
  hive.CreateKey(kMsn);
  hive.SetRaw(kService, kValue, REG_DWORD, Le32(kGreen));
  hive.SetColor(Account("A"), kRed);
  hive.CreateKey(Account("B"));

  Varnelo app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  ExpectShown(app, kGreen);

  // Windows Messenger's key goes, MSN Messenger gets an 8-byte value, B goes,
  // C comes with 64 KiB of text, then a 256-character name that ends the
  // listing before E.
  hive.DeleteKey(kService);
  hive.SetRaw(kMsn, kValue, REG_QWORD, Bytes({0, 0xFF, 0, 0, 0, 0, 0, 0}));
  hive.DeleteKey(Account("B"));
  std::vector<BYTE> text(65536, 'x');
  text.back() = 0;
  hive.SetRaw(Account("C"), kValue, REG_SZ, text);
  hive.CreateKeyBelow(kAccounts, std::string(256, 'D'));
  hive.SetColor(Account("E"), kBlue);
  ASSERT_TRUE(ApplyAndCheck(app, hive.Snapshot(), kGreen, {kService, Account("A"), Account("C")}))
      << "first 設 定";

  // The account list goes; MSN Messenger's value becomes 3 bytes of text.
  hive.DeleteKey(kAccounts);
  hive.SetRaw(kMsn, kValue, REG_SZ, Bytes({'a', 'b', 0}));
  ASSERT_TRUE(ApplyAndCheck(app, hive.Snapshot(), kGreen, {kMsn, kService})) << "second 設 定";
  app.Settle();
  ExpectShown(app, kGreen);
  CloseNormally(app);
}

// A value of 4 bytes that is no plain colour (a system-colour reference, a
// high byte set) is shown as the window draws such values and never written.
TEST_F(HostileTest, AValueThatIsNoColorIsShownButNotWrittenBack) {
  struct Case {
    const char* what;
    std::vector<BYTE> data;
    Ink t1Ink, t2Ink;
  };
  const std::vector<Case> cases{
      {"window-colour reference 0x80000005", Bytes({5, 0, 0, 0x80}), {}, {}},
      {"red with a high byte 0xFF", Bytes({0xFF, 0, 0, 0xFF}), {kRed}, {kRed}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearMessenger(hive);
    hive.SetRaw(kMsn, kValue, REG_BINARY, c.data);
    hive.SetColor(Account("A"), kBlue);
    const Tree before = hive.Snapshot();

    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    EXPECT_EQ(InkColors(app.Control(ids::ColorT1)), c.t1Ink);
    EXPECT_EQ(InkColors(app.Control(ids::ColorT2)), c.t2Ink);
    ASSERT_TRUE(ApplyAndCheck(app, before, 0, {}));
    CloseNormally(app);
  }
}

// ---- a toolkit failure -------------------------------------------------------

BOOL CALLBACK NoteLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
  return TRUE;
}

// A copy of the program without its version resource: reading the version
// for Label6 fails at the end of start-up. The run-time error report comes
// up, the window never shows, and after OK the program has ended, having
// written nothing. (No toolkit call the window makes after start-up can be
// made to fail from outside, so "writes made stay made" is checked natively.)
TEST_F(HostileTest, AToolkitFailureAtStartupIsReportedAndEndsTheProgram) {
  std::array<wchar_t, MAX_PATH> temp{};
  ASSERT_NE(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()), 0u);
  const std::wstring copy = std::wstring(temp.data()) + L"varnelo-without-version.exe";
  ASSERT_TRUE(CopyFileW(e2e::ExePath().c_str(), copy.c_str(), FALSE));
  {
    std::vector<WORD> languages;
    {
      const e2e::LoadedModule image(
          LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
      ASSERT_NE(image.get(), nullptr);
      EnumResourceLanguagesW(image.get(), RT_VERSION, MAKEINTRESOURCEW(1), NoteLanguage,
                             reinterpret_cast<LONG_PTR>(&languages));
    }
    ASSERT_FALSE(languages.empty()) << "the program carries no version resource";
    const HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    // A version block that holds nothing: no VS_FIXEDFILEINFO, no numbers.
    struct EmptyVersion {
      WORD length = sizeof(EmptyVersion);
      WORD valueLength = 0;
      WORD type = 0;
      wchar_t key[16] = L"VS_VERSION_INFO";
      WORD padding = 0;
    } empty;
    for (const WORD language : languages) {
      EXPECT_TRUE(UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(1), language, &empty,
                                  sizeof(empty)));
    }
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    std::vector<BYTE> block(4096);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    wchar_t root[] = L"\\";
    ASSERT_FALSE(
        GetFileVersionInfoW(copy.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) &&
        VerQueryValueW(block.data(), root, reinterpret_cast<void**>(&fixed), &fixedSize) &&
        fixedSize >= sizeof(VS_FIXEDFILEINFO))
        << "the copy still carries its version numbers";
  }
  hive.SetColor(kMsn, kRed);
  hive.CreateKey(Account("A"));
  const Tree before = hive.Snapshot();

  {
    Varnelo app(copy);
    const HWND report = app.WaitForDialog();
    ASSERT_NE(report, nullptr) << "no run-time error report";
    EXPECT_EQ(e2e::WindowText(report), L"Varnelo");
    EXPECT_FALSE(e2e::WindowText(GetDlgItem(report, 0xFFFF)).empty());
    EXPECT_FALSE(app.MainWindowVisible()) << "the window never shows";
    e2e::Click(GetDlgItem(report, IDOK));
    const auto code = app.WaitForExit(10000);
    ASSERT_TRUE(code) << "the program did not end after the report";
    EXPECT_NE(*code, 0u);
  }
  EXPECT_EQ(hive.ChangesSince(before), "");
  DeleteFileW(copy.c_str());
}

}  // namespace
}  // namespace e2e
