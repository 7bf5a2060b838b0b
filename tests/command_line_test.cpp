// The command line against the in-memory registry: its argument rules, what
// /get prints, and that /set writes exactly what the window's apply writes.
#include "app/command_line.h"
#include "app/form1.h"
#include "support/hive.h"
#include "support/recording_toolkit.h"
#include "support/registry_rules.h"

#include "memreg.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace testing_support::messenger;
using testing_support::Le32;
using testing_support::RawValue;
using varnelo::Mode;

namespace {

TEST(CommandLineTest, ArgumentRules) {
  struct Case {
    std::vector<std::wstring> args;
    Mode mode;
    varnelo::ColorValue color;
    const char* problem;  // a part of the one-line message
  };
  const std::vector<Case> cases{
      {{}, Mode::Window, 0, ""},
      {{L"/get"}, Mode::Get, 0, ""},
      {{L"-GeT"}, Mode::Get, 0, ""},
      {{L"/set", L"#0000FF"}, Mode::Set, 0xFF0000, ""},  // web order in, 0x00BBGGRR out
      {{L"-SET", L"12a4Cf"}, Mode::Set, 0xCFA412, ""},
      {{L"/set", L"#000000"}, Mode::Set, 0, ""},
      {{L"/?"}, Mode::Help, 0, ""},
      {{L"/Help"}, Mode::Help, 0, ""},
      {{L"/version"}, Mode::Version, 0, ""},
      {{L"/set"}, Mode::BadArguments, 0, "needs a colour"},
      {{L"/set", L"#00FF"}, Mode::BadArguments, 0, "'#00FF' is not a colour"},
      {{L"/set", L"#00FF0G"}, Mode::BadArguments, 0, "not a colour"},
      {{L"/set", L"##00FF00"}, Mode::BadArguments, 0, "not a colour"},
      {{L"/set", L"#00FF00", L"x"}, Mode::BadArguments, 0, "unexpected argument 'x'"},
      {{L"/get", L"/get"}, Mode::BadArguments, 0, "unexpected argument '/get'"},
      {{L"/colour"}, Mode::BadArguments, 0, "unknown switch '/colour'"},
      {{L"get"}, Mode::BadArguments, 0, "unexpected argument 'get'"},
      {{L"/\u8272"}, Mode::BadArguments, 0, "unknown switch '/?'"},  // ASCII only
  };
  for (const auto& c : cases) {
    const auto parsed = varnelo::ParseCommandLine(c.args);
    SCOPED_TRACE(c.args.empty() ? "(none)" : std::string(c.args[0].begin(), c.args[0].end()));
    EXPECT_EQ(parsed.mode, c.mode);
    if (c.mode == Mode::Set) {
      EXPECT_EQ(parsed.color, c.color);
    }
    EXPECT_NE(parsed.problem.find(c.problem), std::string::npos) << parsed.problem;
  }
}

class CommandLineRunTest : public testing_support::FreshHkcuTest {};

TEST_F(CommandLineRunTest, GetPrintsTheShownColorThenEveryLocation) {
  hive.CreateKey(kMsn);
  hive.SetColor(kService, 0x80000005);  // a system-colour reference: no Messenger colour
  hive.SetColor(Account("a@example.com"), 0x0000FF);
  hive.CreateKey(Account("b@example.com"));
  hive.SetColor(Account("c@example.com"), 0x00FF00);
  const auto result = varnelo::RunCommandLine({Mode::Get, 0, ""}, {});
  EXPECT_EQ(result.exitCode, varnelo::kExitDone);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(
      result.out,
      "colour not-a-colour\r\n"  // Windows Messenger's value comes before the accounts
      "none HKCU\\Software\\Microsoft\\MSNMessenger\r\n"
      "not-a-colour HKCU\\Software\\Microsoft\\MessengerService\r\n"
      "#FF0000 HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\a@example.com\r\n"
      "none HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\b@example.com\r\n"
      "#00FF00 HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\c@example.com\r\n");
}

TEST_F(CommandLineRunTest, NothingFoundIsNotInstalledAndWritesNothing) {
  hive.CreateKey(kMsn);
  hive.CreateKey(kAccounts);
  const auto before = hive.Snapshot();
  for (const Mode mode : {Mode::Get, Mode::Set}) {
    const auto result = varnelo::RunCommandLine({mode, 0xFF0000, ""}, {});
    EXPECT_EQ(result.exitCode, varnelo::kExitNotInstalled);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("not installed"), std::string::npos);
  }
  EXPECT_EQ(hive.ChangesSince(before), "");
}

// A registry shape to seed, and what the window's apply (with `chosen`
// selected) and /set leave behind.
struct Shape {
  const char* what;
  std::function<void(testing_support::Hive&)> seed;
};

TEST_F(CommandLineRunTest, SetWritesExactlyWhatTheWindowsApplyWrites) {
  const std::vector<Shape> shapes{
      {"every location",
       [](auto& h) {
         h.SetColor(kMsn, 255);
         h.SetColor(kService, 255);
         h.CreateKey(Account("A"));
         h.SetColor(Account("b"), 65280);
       }},
      {"MSN key without a value",
       [](auto& h) {
         h.CreateKey(kMsn);
         h.SetColor(kService, 0);
       }},
      {"accounts only, one refusing writes",
       [](auto& h) {
         h.CreateKey(Account("A"));
         h.CreateKey(Account("B"));
         h.RefuseRights(Account("A"), KEY_SET_VALUE);
       }},
  };
  constexpr varnelo::ColorValue kChosen = 0x000000;  // black: only the command line can set it
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.what);
    testing_support::ClearMessenger(hive);
    shape.seed(hive);
    testing_support::RecordingToolkit toolkit;
    varnelo::Form1 form(toolkit);
    form.Form_Load();
    toolkit.SetLabelForeColor(varnelo::LabelId::ColorT1, kChosen);
    form.Command3_Click();
    const auto byWindow = hive.Snapshot();

    testing_support::ClearMessenger(hive);
    shape.seed(hive);
    const auto result = varnelo::RunCommandLine({Mode::Set, kChosen, ""}, {});
    EXPECT_EQ(hive.ChangesSince(byWindow), "");
    const bool refused = std::string(shape.what).find("refusing") != std::string::npos;
    EXPECT_EQ(result.exitCode, refused ? varnelo::kExitWriteFailed : varnelo::kExitDone);
    EXPECT_EQ(result.err.find("access denied") != std::string::npos, refused) << result.err;
  }
}

// An account key named outside the system's 8-bit code page is listed as
// "??": writing there would create a stray key. It is left alone.
TEST_F(CommandLineRunTest, AnAccountNameTheCodePageCannotSpellIsLeftAlone) {
  const auto seed = [&] {
    hive.SetColor(kMsn, kRed);
    hive.SetColor(Account("a@example.com"), kRed);
  };
  seed();
  ASSERT_TRUE(
      memreg::CreateKeyOutsideCodePage(HKEY_CURRENT_USER, kAccounts, "\xED\x95\x9C\xEA\xB5\xAD"));
  const auto before = hive.Snapshot();
  const auto& listed = before.at(registry_rules::Fold(Account("??")));
  ASSERT_TRUE(listed.valuesHidden && listed.subkeysHidden) << "listed, but no key of that spelling";
  auto expected = before;  // blue at MSN and at the account that can be spelt, nothing else
  for (const std::string& key : {std::string(kMsn), Account("a@example.com")}) {
    testing_support::SetValue(expected, key, kValue, RawValue{REG_BINARY, Le32(kBlue)});
  }

  testing_support::RecordingToolkit toolkit;
  varnelo::Form1 form(toolkit);
  form.Form_Load();
  toolkit.SetLabelForeColor(varnelo::LabelId::ColorT1, kBlue);
  form.Command3_Click();
  EXPECT_EQ(hive.ChangesSince(expected), "");

  seed();
  const auto result = varnelo::RunCommandLine({Mode::Set, kBlue, ""}, {});
  EXPECT_EQ(hive.ChangesSince(expected), "");
  EXPECT_EQ(result.exitCode, varnelo::kExitWriteFailed);
  EXPECT_NE(result.err.find("PerPassportSettings\\??: no key of that name"), std::string::npos)
      << result.err;
}

}  // namespace
