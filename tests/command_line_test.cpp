// The command line against the in-memory registry: its argument rules, its
// exit codes and what /get prints. That /set writes exactly what the window's
// 設 定 writes is a shared scenario (form1_test.cpp).
#include "app/window_texts.h"
#include "cli/commands.h"
#include "core/color_words.h"
#include "core/file_names.h"
#include "support/hive.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

using namespace testing_support::messenger;
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
      {{L"/set", huge},
       Mode::BadArguments,
       0,
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
  // Values too long to be a colour (as a QWORD is), which count as none.
  hive.SetText(Account("d@example.com"), kValue, "16711680");
  hive.SetRaw(Account("e@example.com"), kValue, REG_BINARY, std::vector<BYTE>(1 << 20, 0xA5));
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
      "#00FF00 HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\c@example.com\r\n"
      "not-a-colour HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\d@example.com\r\n"
      "not-a-colour "
      "HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\e@example.com\r\n");
}

// A colour hard to read on white (under 3:1) is written all the same, with a warning.
TEST_F(CommandLineRunTest, SetWarnsOfAColourHardToReadAndStillWritesIt) {
  hive.SetColor(kMsn, 0x0000FF);
  for (const auto& [color, warning] : std::vector<std::pair<varnelo::ColorValue, std::string>>{
           {0xA169E9, ""},  // #E969A1, 3:1
           {0x309A98,
            "varnelo: warning: #989A30 is hard to read on white (contrast 2.99:1; "
            "4.5:1 reads well)\r\n"}}) {
    const auto result = varnelo::RunCommandLine({Mode::Set, color, "", {}}, {});
    EXPECT_EQ(result.exitCode, varnelo::kExitDone);
    EXPECT_EQ(result.err, warning);
    EXPECT_EQ(result.out, varnelo::WebColor(color) + " HKCU\\" + kMsn + "\r\n");
  }
}

TEST_F(CommandLineRunTest, NothingFoundIsNotInstalledAndWritesNothing) {
  hive.CreateKey(kMsn);
  hive.CreateKey(kAccounts);
  const auto before = hive.Snapshot();
  for (const Mode mode : {Mode::Get, Mode::Set, Mode::Export}) {
    const auto result = varnelo::RunCommandLine({mode, 0xFF0000, "", {}}, {});
    EXPECT_EQ(result.exitCode, varnelo::kExitNotInstalled);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("varnelo: Messenger not found")) << result.err;
    EXPECT_NE(result.err.find("not installed"), std::string::npos);
  }
  EXPECT_EQ(hive.ChangesSince(before), "");
}

// /export saves what /set could change and nothing else: a key that cannot
// even be opened is named and left out; a device name writes nothing at all.
TEST_F(CommandLineRunTest, ExportLeavesOutKeysSetCannotOpenAndRefusesDevices) {
  hive.SetColor(kMsn, 0x0000FF);
  hive.SetColor(Account("a@example.com"), 0x00FF00);
  hive.SetColor(Account("b@example.com"), 0x00FF00);
  hive.RefuseRights(Account("b@example.com"), KEY_QUERY_VALUE);
  const auto before = hive.Snapshot();
  std::vector<std::wstring> saved;
  const varnelo::SaveFile save = [&saved](const std::wstring& path, const std::string& bytes) {
    saved.push_back(path);
    EXPECT_FALSE(bytes.empty());
    return DWORD{ERROR_SUCCESS};
  };
  const auto exportTo = [&save](const std::wstring& file) {
    return varnelo::RunCommandLine({Mode::Export, 0, "", file}, {}, save);
  };

  auto result = exportTo(L"c.reg");
  EXPECT_EQ(result.exitCode, varnelo::kExitDone) << result.err;
  EXPECT_EQ(result.out, "saved 2 locations in c.reg\r\n");
  EXPECT_EQ(result.err, "not saved: HKCU\\" + Account("b@example.com") +
                            ": IM Color could not be read: access denied; neither can /set "
                            "write it\r\n");
  EXPECT_EQ(saved, std::vector<std::wstring>{L"c.reg"});

  result = exportTo(L"..\\con.reg");
  EXPECT_EQ(result.exitCode, varnelo::kExitWriteFailed);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("not written: it is a device, not a file"), std::string::npos);
  EXPECT_EQ(saved.size(), 1u) << "nothing handed to be written";
  EXPECT_EQ(hive.ChangesSince(before), "");
}

// /export and the window's 色を保存 save through one function and give the
// same reasons, each in its own language, whatever the file's writer says.
TEST_F(CommandLineRunTest, ExportAndTheWindowGiveTheSameReasons) {
  hive.SetColor(kMsn, 0x0000FF);
  struct Case {
    DWORD error;
    const char* english;
    const wchar_t* japanese;
  };
  const std::vector<Case> cases{
      {ERROR_FILE_READ_ONLY, "the file is read-only", L"読み取り専用のため上書きしませんでした。"},
      {varnelo::kErrorIsAFolder, "a folder has that name", L"フォルダーがあります。"},
      {varnelo::kErrorIsADevice, "it is a device", L"デバイスの名前です（CON、NUL、COM1 など）。"},
      {ERROR_DISK_FULL, "the disk is full", L"ディスクの空き容量が足りません。"},
      {ERROR_PATH_NOT_FOUND, "the folder does not exist", L"フォルダーがありません。"},
      {ERROR_ACCESS_DENIED, "access denied", L"アクセスが拒否"},
      {ERROR_INVALID_NAME, "not a valid file name", L"この名前はファイル名に使えません。"},
      {ERROR_FILENAME_EXCED_RANGE, "the name is too long (at most 255 characters)",
       L"255 文字まで"},
      {varnelo::kErrorNameTooLongOnDisk, "too long for Wine's file system", L"UTF-8 で 255 バイト"},
      {ERROR_SHARING_VIOLATION, "the file is in use", L"使用中"},
      {21, "error 21", L"エラー 21。"},  // the drive is not ready: no words of its own
      {ERROR_SUCCESS, "", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english);
    const varnelo::SaveFile save = [&c](const std::wstring&, const std::string&) {
      return c.error;
    };
    const auto result = varnelo::RunCommandLine({Mode::Export, 0, "", L"c.reg"}, {}, save);
    const bool saved = c.error == ERROR_SUCCESS;
    EXPECT_EQ(result.exitCode, saved ? varnelo::kExitDone : varnelo::kExitWriteFailed);
    const std::wstring text = varnelo::SaveFailedText(
        varnelo::SaveBackup(L"c.reg", varnelo::ReadProfile, save), L"c.reg");
    if (saved) {  // no reason at all, in either language
      EXPECT_EQ(result.err, "");
      EXPECT_EQ(text, L"");
    } else {
      EXPECT_NE(result.err.find(c.english), std::string::npos) << result.err;
      EXPECT_NE(text.find(c.japanese), std::wstring::npos);
    }
  }
}

}  // namespace
