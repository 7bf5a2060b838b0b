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
#include <new>
#include <stdexcept>
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
    const char* problem;  // a part of the one-line message; "" for none at all
  };
  const std::wstring huge(30000, L'x');
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
      {{L"/set", huge}, Mode::BadArguments, 0,
       "'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...' (cut: 30000 characters)"},
      {{L"-EXPORT", L"/get"}, Mode::Export, 0, ""},  // a file name, whatever it looks like
      {{L"/export", L""}, Mode::BadArguments, 0, "/export needs a file name"},
      {{L"/export", L"a.reg", L"b"}, Mode::BadArguments, 0, "unexpected argument 'b'"},
  };
  for (const auto& c : cases) {
    const auto parsed = varnelo::ParseCommandLine(c.args);
    SCOPED_TRACE(c.args.empty() ? "(none)" : std::string(c.args[0].begin(), c.args[0].end()));
    EXPECT_EQ(parsed.mode, c.mode);
    if (c.mode == Mode::Set) {
      EXPECT_EQ(parsed.color, c.color);
    }
    EXPECT_EQ(parsed.file, c.mode == Mode::Export ? c.args[1] : L"");
    if (*c.problem == '\0') {
      EXPECT_EQ(parsed.problem, "");
    } else {
      EXPECT_NE(parsed.problem.find(c.problem), std::string::npos) << parsed.problem;
    }
    EXPECT_LT(parsed.problem.size(), 150u) << "one short line, whatever the argument";
  }
}

// From the arguments to the exit code: a stream that cannot be written and a
// failure nobody expected each have their own code, and never borrow one that
// means something else.
TEST(CommandLineTest, ExitCodesSayOnlyWhatHappened) {
  struct Case {
    const char* what;
    std::function<std::vector<std::wstring>()> arguments;
    std::function<varnelo::VersionNumbers()> version;
    bool outWorks, errWorks;
    int exitCode;
    const char* err;  // a part of standard error, as written; "" for none at all
  };
  const auto args = [](std::vector<std::wstring> list) { return [list] { return list; }; };
  const auto version = [] { return varnelo::VersionNumbers{1, 5, 1}; };
  const auto fails = []() -> std::vector<std::wstring> { throw std::runtime_error("no args"); };
  const auto versionFails = []() -> varnelo::VersionNumbers { throw std::bad_alloc(); };
  const std::vector<Case> cases{
      {"done", args({L"/version"}), version, true, true, varnelo::kExitDone, ""},
      {"output lost", args({L"/version"}), version, false, true, varnelo::kExitOutputFailed, ""},
      {"both streams lost", args({L"/x"}), version, false, false, varnelo::kExitBadArguments, ""},
      {"reading the arguments fails", fails, version, true, true, varnelo::kExitUnexpected,
       "varnelo: unexpected failure: no args\r\n"},
      {"an exception", args({L"/version"}), versionFails, true, true, varnelo::kExitUnexpected,
       "varnelo: unexpected failure: std::bad_alloc\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string out, err;
    const auto sink = [](std::string& into, bool works) {
      return [&into, works](const std::string& text) {
        if (works) into += text;
        return works;
      };
    };
    EXPECT_EQ(varnelo::RunCommandLineMain(c.arguments, c.version, sink(out, c.outWorks),
                                          sink(err, c.errWorks), {}),
              c.exitCode);
    EXPECT_EQ(err, c.err);
    EXPECT_EQ(out, c.exitCode == varnelo::kExitDone ? "v1.5.1\r\n" : "");
  }
}

class CommandLineRunTest : public testing_support::FreshHkcuTest {};

TEST_F(CommandLineRunTest, GetPrintsTheShownColorThenEveryLocation) {
  hive.CreateKey(kMsn);
  hive.SetColor(kService, 0x80000005);  // a system-colour reference: no Messenger colour
  hive.SetColor(Account("a@example.com"), 0x0000FF);
  hive.CreateKey(Account("b@example.com"));
  hive.SetColor(Account("c@example.com"), 0x00FF00);
  const auto result = varnelo::RunCommandLine({Mode::Get, 0, "", {}}, {});
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
  for (const Mode mode : {Mode::Get, Mode::Set, Mode::Export}) {
    const auto result = varnelo::RunCommandLine({mode, 0xFF0000, "", {}}, {});
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
    const auto result = varnelo::RunCommandLine({Mode::Set, kChosen, "", {}}, {});
    EXPECT_EQ(hive.ChangesSince(byWindow), "");
    const bool refused = std::string(shape.what).find("refusing") != std::string::npos;
    EXPECT_EQ(result.exitCode, refused ? varnelo::kExitWriteFailed : varnelo::kExitDone);
    EXPECT_EQ(result.err.find("access denied") != std::string::npos, refused) << result.err;
  }
}

// The 8-bit listing spells an account name it cannot spell with '?' (no such
// key) or with a look-alike: "A＼B" (a full-width reverse solidus) is listed
// as "A\B", the path of another key. Neither is read nor written, by start-up,
// 設 定 or /set, and the command line names them.
TEST_F(CommandLineRunTest, AnAccountNameTheCodePageMisspellsIsLeftAlone) {
  const auto seed = [&] {
    hive.SetColor(Account("a@example.com"), kRed);
    hive.SetColor(Account("A\\B"), kGreen);  // account key "A" and its subkey "B"
    ASSERT_TRUE(memreg::CreateKeyOutsideCodePage(HKEY_CURRENT_USER, kAccounts, "A\uFF3CB"));
    ASSERT_TRUE(memreg::CreateKeyOutsideCodePage(HKEY_CURRENT_USER, kAccounts, "\uD55C\uAD6D"));
  };
  seed();
  const auto before = hive.Snapshot();
  ASSERT_TRUE(before.at(registry_rules::Fold(Account("??"))).valuesHidden) << "no key so spelt";
  auto expected = before;  // blue at the accounts whose names are spelt right, nothing else
  for (const std::string& key : {Account("a@example.com"), Account("A")}) {
    testing_support::SetValue(expected, key, kValue, RawValue{REG_BINARY, Le32(kBlue)});
  }

  testing_support::RecordingToolkit toolkit;
  varnelo::Form1 form(toolkit);
  form.Form_Load();
  EXPECT_EQ(toolkit.LabelForeColor(varnelo::LabelId::ColorT1), kRed) << "not A\\B's green";
  toolkit.SetLabelForeColor(varnelo::LabelId::ColorT1, kBlue);
  form.Command3_Click();
  EXPECT_EQ(hive.ChangesSince(expected), "");

  testing_support::ClearMessenger(hive);
  seed();
  const auto get = varnelo::RunCommandLine({Mode::Get, 0, "", {}}, {});
  EXPECT_EQ(get.exitCode, varnelo::kExitDone);
  EXPECT_NE(get.out.find("colour #FF0000\r\n"), std::string::npos) << get.out;
  const auto set = varnelo::RunCommandLine({Mode::Set, kBlue, "", {}}, {});
  EXPECT_EQ(hive.ChangesSince(expected), "");
  EXPECT_EQ(set.exitCode, varnelo::kExitWriteFailed);
  for (const char* name : {"A\\B", "??"}) {
    const std::string key = "HKCU\\" + Account(name) + ": its own name has characters";
    EXPECT_NE(get.err.find("not read: " + key), std::string::npos) << get.err;
    EXPECT_NE(set.err.find("not written: " + key), std::string::npos) << set.err;
  }
}

// /export with the file writer replaced: what it would write, and that a
// file it cannot complete is not written at all. The registry is only read.
TEST_F(CommandLineRunTest, ExportSavesWhatSetWouldOverwriteOrNothing) {
  hive.SetColor(kMsn, kRed);
  hive.SetRaw(kService, kValue, REG_DWORD, Le32(kGreen));
  hive.SetRaw(Account("a"), kValue, REG_QWORD, Le32(7));
  hive.CreateKey(Account("b"));
  ASSERT_TRUE(memreg::CreateKeyOutsideCodePage(HKEY_CURRENT_USER, kAccounts, "\uD55C"));
  const auto before = hive.Snapshot();
  std::wstring path;
  std::string text;  // the file's ASCII text
  DWORD saveError = ERROR_SUCCESS;
  const auto run = [&] {
    path.clear();
    text.clear();
    return varnelo::RunCommandLine(
        {Mode::Export, 0, "", L"C:\\\u8272.reg"}, {},
        [&](const std::wstring& to, const std::string& bytes) {
          path = to;
          for (std::size_t i = 2; i < bytes.size(); i += 2) text += bytes[i];
          return saveError;
        });
  };
  auto result = run();
  EXPECT_EQ(result.out, "saved 4 locations in C:\\?.reg\r\n");
  EXPECT_EQ(result.err.find("not saved: HKCU\\" + Account("?") + ": its own name"), 0u);
  EXPECT_EQ(path, L"C:\\\u8272.reg");
  const std::string account = "\r\n[HKEY_CURRENT_USER\\" + std::string(kAccounts) + "\\";
  EXPECT_EQ(text, "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" +
                      std::string(kMsn) + "]\r\n\"IM Color\"=hex:ff,00,00,00\r\n\r\n" +
                      "[HKEY_CURRENT_USER\\" + kService + "]\r\n\"IM Color\"=dword:0000ff00\r\n" +
                      account + "a]\r\n\"IM Color\"=hex(b):07,00,00,00\r\n" + account +
                      "b]\r\n\"IM Color\"=-\r\n\r\n");
  EXPECT_EQ(hive.ChangesSince(before), "");

  saveError = 3;  // ERROR_PATH_NOT_FOUND
  result = run();
  EXPECT_EQ(result.exitCode, varnelo::kExitWriteFailed);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "varnelo: 'C:\\?.reg' not written: the folder does not exist\r\n");
  hive.RefuseRights(Account("a"), KEY_QUERY_VALUE);
  result = run();
  EXPECT_EQ(result.exitCode, varnelo::kExitWriteFailed);
  EXPECT_NE(result.err.find(Account("a") + ": IM Color could not be read: access denied"),
            std::string::npos);
  EXPECT_EQ(path, L"") << "no file";
}

}  // namespace
