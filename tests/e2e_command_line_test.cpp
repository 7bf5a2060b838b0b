// The real varnelo.exe started with arguments under Wine, as a script starts
// it: what it prints, its exit code, and the whole of HKEY_CURRENT_USER
// before and after.
#include "support/color_dialog.h"
#include "support/driver.h"
#include "support/run_exe.h"
#include "support/scenarios.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

// Colours everywhere, and accounts whose names the 8-bit calls misspell.
void Seed(Hive& hive) {
  hive.SetColor(kMsn, kRed);
  hive.SetColor(kService, kGreen);
  hive.SetColor(Account("a@example.com"), kRed);
  hive.CreateKey(Account("b@example.com"));
  testing_support::scenarios::SeedMisspeltAccounts(hive);
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
