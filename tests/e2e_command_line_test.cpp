// The real varnelo.exe started with arguments under Wine, as a script starts
// it: what it prints, its exit code, and the whole of HKEY_CURRENT_USER
// before and after.
#include "support/color_dialog.h"
#include "support/driver.h"
#include "support/run_exe.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace e2e {
namespace {

// Accounts whose names the 8-bit calls misspell. No 8-bit code page but
// UTF-8 can spell Hangul and an emoji: they are listed with '?' for each
// character. A full-width reverse solidus is listed as '\\' ("best fit"):
// "A＼B" is listed as "A\\B", the path of the key B below the account A.
const std::wstring kOddAccount = L"\uD14C\uC2A4\uD2B8\U0001F600";
const std::wstring kLookAlikeAccount = L"A\uFF3CB";

std::wstring AccountW(const std::wstring& name) {
  return L"Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\" + name;
}

void Seed(Hive& hive) {
  hive.SetColor(kMsn, kRed);
  hive.SetColor(kService, kGreen);
  hive.SetColor(Account("a@example.com"), kRed);
  hive.CreateKey(Account("b@example.com"));
  hive.SetColor(Account("A\\B"), kGreen);  // the account A, and its subkey B
  for (const auto& name : {kOddAccount, kLookAlikeAccount}) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AccountW(name).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  const DWORD red = kRed;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, AccountW(kLookAlikeAccount).c_str(), L"IM Color",
                            REG_DWORD, &red, sizeof red),
            ERROR_SUCCESS);
}

// "IM Color" of an account read by its true name: its type and first bytes,
// or nullopt when it has none.
std::optional<RawValue> OwnColor(const std::wstring& name) {
  RawValue value{0, std::vector<BYTE>(4)};
  auto size = static_cast<DWORD>(value.data.size());
  if (RegGetValueW(HKEY_CURRENT_USER, AccountW(name).c_str(), L"IM Color", RRF_RT_ANY, &value.type,
                   value.data.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

// What neither 設 定 nor /set may change: the misspelt accounts, by their true
// names, and the key that one of them is misspelt as.
void ExpectMisspeltAccountsUntouched(const Hive& hive) {
  EXPECT_EQ(OwnColor(kOddAccount), std::nullopt);
  EXPECT_EQ(OwnColor(kLookAlikeAccount), (RawValue{REG_DWORD, Le32(kRed)}));
  EXPECT_EQ(hive.GetRaw(Account("A\\B"), kValue), (RawValue{REG_BINARY, Le32(kGreen)}));
}

// The keys that `changes` (testing_support::Changes) says were created.
std::string NewKeys(const std::string& changes) {
  std::string keys;
  for (std::size_t at = 0; at < changes.size();) {
    const std::size_t end = changes.find('\n', at);
    const std::string line = changes.substr(at, end - at);
    if (line.starts_with("+ [") && line.find("]  \"") == std::string::npos) keys += line + "\n";
    at = end == std::string::npos ? changes.size() : end + 1;
  }
  return keys;
}

using CommandLineTest = ClearedMessengerTest;

TEST_F(CommandLineTest, ReadingAndBadArgumentsWriteNothing) {
  struct Case {
    std::wstring arguments;
    DWORD exitCode;
    const char* out;  // a part of standard output ("" for none at all)
    const char* err;  // a part of standard error ("" for none at all)
    bool writableOutput = true;
  };
  const std::vector<Case> cases{
      {L"/get", 0, "colour #FF0000\r\n#FF0000 HKCU\\Software\\Microsoft\\MSNMessenger\r\n",
       "not read: HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\A\\B: its own "
       "name has characters this system's code page cannot spell"},
      {L"-HELP", 0, "Usage: varnelo", ""},
      {L"/?", 0, "Exit codes: 0 done", ""},
      {L"/version", 0, "v1.5.1\r\n", ""},
      {L"/version", 4, "", "", false},  // the output could not be written
      {L"/set", 2, "", "varnelo: /set needs a colour"},
      {L"/set blue", 2, "", "varnelo: 'blue' is not a colour"},
      {L"/set #0000FF #00FF00", 2, "", "unexpected argument '#00FF00'"},
      {L"/window", 2, "", "unknown switch '/window'"},
      {L"/set " + std::wstring(30000, L'7'), 2, "",
       "7...' (cut: 30000 characters) is not a colour"},
  };
  Seed(hive);
  const Tree before = hive.Snapshot();
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.arguments.substr(0, 80)));
    const auto run = RunExe(c.arguments, 20000, c.writableOutput);
    ASSERT_TRUE(run.ended) << "no window, no message box: it ends by itself";
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    EXPECT_EQ(run.out.empty(), *c.out == '\0') << run.out;
    EXPECT_EQ(run.err.empty(), *c.err == '\0') << run.err;
    if (c.exitCode == 2) {
      EXPECT_NE(run.err.find("\r\n\r\nUsage: varnelo"), std::string::npos) << "then the usage";
      EXPECT_LT(run.err.find("\r\n"), 150u) << "one short line, whatever the argument";
    }
    EXPECT_EQ(hive.ChangesSince(before), "");
  }

  ClearMessenger(hive);
  const auto run = RunExe(L"/get");
  EXPECT_EQ(run.exitCode, 3u) << "no Messenger";
  EXPECT_NE(run.err.find("not installed"), std::string::npos) << run.err;
}

// The same registry, the same colour: the window's 設 定 and /set leave the
// same HKEY_CURRENT_USER, the misspelt accounts and what they are misspelt as
// untouched, and no stray key.
TEST_F(CommandLineTest, SetWritesExactlyWhatTheWindowWrites) {
  Seed(hive);
  const Tree seeded = hive.Snapshot();
  {
    Varnelo app;
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(ChooseColor(app, kBlue));
    ASSERT_TRUE(app.PressAndWait(ids::Command3));
    app.CloseWithButton();
  }
  const Tree byWindow = hive.Snapshot();
  EXPECT_EQ(NewKeys(testing_support::Changes(seeded, byWindow)), "");
  ExpectMisspeltAccountsUntouched(hive);
  for (const char* account : {"a@example.com", "b@example.com", "A"}) {
    EXPECT_EQ(hive.GetRaw(Account(account), kValue), (RawValue{REG_BINARY, Le32(kBlue)}));
  }

  ClearMessenger(hive);
  Seed(hive);
  ASSERT_EQ(hive.ChangesSince(seeded), "");
  const auto run = RunExe(L"-set #0000ff");
  EXPECT_EQ(run.exitCode, 1u) << "the misspelt accounts were not written";
  for (const char* listedAs : {"A\\B: its", "???"}) {  // Hangul, then '?' for the emoji
    EXPECT_NE(run.err.find("not written: HKCU\\" + Account(listedAs)), std::string::npos)
        << run.err;
  }
  EXPECT_NE(run.out.find("#0000FF HKCU\\Software\\Microsoft\\MessengerService\r\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(hive.ChangesSince(byWindow), "");
  ExpectMisspeltAccountsUntouched(hive);
  EXPECT_NE(testing_support::Changes(seeded, byWindow), "") << "and both did write";
}

TEST_F(CommandLineTest, SetCanStoreBlack) {
  hive.SetColor(kMsn, kRed);
  hive.CreateKey(Account("a@example.com"));
  const auto run = RunExe(L"/SET 000000");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  for (const std::string& key : {std::string(kMsn), Account("a@example.com")}) {
    EXPECT_EQ(hive.GetRaw(key, kValue), (RawValue{REG_BINARY, Le32(kBlack)})) << key;
  }
}

}  // namespace
}  // namespace e2e
