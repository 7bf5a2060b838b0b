// The real varnelo.exe started with arguments under Wine, as a script starts
// it: what it prints, its exit code, and the whole of HKEY_CURRENT_USER
// before and after.
#include "support/color_dialog.h"
#include "support/driver.h"
#include "support/run_exe.h"
#include "support/scenarios.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <fstream>

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

// Runs `arguments` through varnelo.com, directly and as typed to cmd (cmd's
// own output, and redirected by cmd to files), and expects each run to end
// as `exe`, varnelo.exe's own run, did: the same exit code and byte for byte
// the same output. cmd takes at most 8191 characters, and cannot redirect to
// a file that may not be written.
void ExpectSameThroughCom(const std::wstring& arguments, const Finished& exe,
                          bool writableOutput = true) {
  std::vector<Route> routes{Route::Com};
  if (arguments.size() < 8000) routes.push_back(Route::Cmd);
  if (arguments.size() < 8000 && writableOutput) routes.push_back(Route::CmdRedirected);
  for (const Route route : routes) {
    constexpr const char* kNames[] = {"exe", "varnelo.com", "cmd", "cmd with > and 2>"};
    SCOPED_TRACE(kNames[static_cast<int>(route)]);
    const auto run = RunExe(arguments, 20000, writableOutput, route);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, exe.exitCode);
    EXPECT_EQ(run.out, exe.out);
    EXPECT_EQ(run.err, exe.err);
  }
}

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
       "not read: HKCU\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\A\\B: its name "
       "has characters that Windows' \"Language for non-Unicode programs\" does not have"},
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
      {L"/help", 0, "  /export FILE  save the IM Color of every place /set would write", ""},
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
    ExpectSameThroughCom(c.arguments, run, c.writableOutput);
    EXPECT_EQ(hive.ChangesSince(before), "");
  }

  ClearMessenger(hive);
  const auto run = RunExe(L"/get");
  EXPECT_EQ(run.exitCode, 3u) << "no Messenger";
  EXPECT_NE(run.err.find("not installed"), std::string::npos) << run.err;
  ExpectSameThroughCom(L"/get", run);
}

// Typed without arguments, `varnelo` opens the window and the prompt comes
// back at once, as for `notepad`: varnelo.com ends while the window stays.
TEST_F(CommandLineTest, ComWithoutArgumentsOpensTheWindowAndEndsAtOnce) {
  Seed(hive);
  const Process com(L"\"" + ComPath() + L"\"");
  EXPECT_EQ(com.WaitForExit(10000), 0u);
  const HWND window =
      SampleUntil([] { return FindWindowW(VARNELO_FORM1_CLASS, nullptr); },
                  [](HWND found) { return found != nullptr && IsWindowVisible(found); }, 20000);
  ASSERT_NE(window, nullptr) << "no window";
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const OwnedHandle exe(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  Click(GetDlgItem(window, ids::Command2));  // 閉 じ る
  EXPECT_EQ(WaitForSingleObject(exe.get(), 10000), DWORD{WAIT_OBJECT_0});
}

// The process varnelo.com started, by its parent's id.
OwnedHandle ChildOf(DWORD parent) {
  const OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == parent) {
      return OwnedHandle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
    }
  }
  return OwnedHandle();
}

// This test program stays when Ctrl+C reaches its console.
BOOL WINAPI KeepRunning(DWORD) { return TRUE; }

// varnelo.com ended from outside (Task Manager's End task), or by Ctrl+C in
// its console, while varnelo.exe still runs (held here by output that nobody
// reads, so it never hears of the console): the exe ends with it.
TEST_F(CommandLineTest, EndingComEndsTheExe) {
  Seed(hive);
  for (int i = 0; i < 1500; ++i) hive.CreateKey(Account("account" + std::to_string(i)));
  // A console of its own that varnelo.com shares (Wine's console over a pipe
  // takes no Ctrl+C), this program's output staying where it was.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  SetStdHandle(STD_ERROR_HANDLE, err);
  SetConsoleCtrlHandler(KeepRunning, TRUE);
  for (const bool controlC : {false, true}) {
    SCOPED_TRACE(controlC ? "Ctrl+C" : "ended from outside");
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    OwnedHandle unread, output;
    ASSERT_TRUE(CreatePipe(unread.receive(), output.receive(), &inherit, 4096));
    const Process com(L"\"" + ComPath() + L"\" /get", nullptr, output.get(), output.get());
    const OwnedHandle exe =
        SampleUntil([&com] { return ChildOf(com.Pid()); },
                    [](const OwnedHandle& found) { return found.get() != nullptr; }, 10000);
    ASSERT_NE(exe.get(), nullptr) << "varnelo.com started no varnelo.exe";
    EXPECT_FALSE(com.WaitForExit(500).has_value()) << "the exe is held by its output";
    if (controlC) {
      EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
      EXPECT_EQ(com.WaitForExit(10000), DWORD{0xC000013A}) << "ended as Ctrl+C ends a program";
    } else {
      TerminateProcess(com.Handle(), 1);
    }
    EXPECT_EQ(WaitForSingleObject(exe.get(), 10000), DWORD{WAIT_OBJECT_0}) << "the exe still runs";
    TerminateProcess(exe.get(), 1);
  }
  SetConsoleCtrlHandler(KeepRunning, FALSE);
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

// A new folder in the temporary folder, with a name no 8-bit code page has.
// Only an empty folder can be removed: RemoveDirectoryW tells whether
// anything is left in it.
std::wstring NewFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static unsigned made = 0;
  const std::wstring folder = temp + (L"varnelo \u8272 " + std::to_wstring(GetTickCount()) + L"." +
                                      std::to_wstring(++made));
  EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  return folder;
}

// varnelo.com copied somewhere without varnelo.exe: it says so and ends with
// its own exit code, and runs no varnelo.exe found elsewhere (PATH, the
// current folder).
TEST_F(CommandLineTest, ComWithoutTheExeBesideItSaysSo) {
  const std::wstring folder = NewFolder(), alone = folder + L"\\varnelo.com";
  ASSERT_TRUE(CopyFileW(ComPath().c_str(), alone.c_str(), TRUE));
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  OwnedHandle unread, error;
  ASSERT_TRUE(CreatePipe(unread.receive(), error.receive(), &inherit, 4096));
  const Process com(L"\"" + alone + L"\" /version", nullptr, nullptr, error.get(),
                    ProgramFolder().c_str());
  EXPECT_EQ(com.WaitForExit(10000), 9u);
  error.reset();
  char text[200] = {};
  DWORD read = 0;
  ReadFile(unread.get(), text, sizeof(text) - 1, &read, nullptr);
  EXPECT_STREQ(text,
               "varnelo: varnelo.exe could not be started: it must be in the same folder as "
               "varnelo.com\r\n");
  EXPECT_TRUE(DeleteFileW(alone.c_str()));
  EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

// /export, then Wine's own reg import of the file in this prefix: right away
// it changes nothing; after /set it puts the whole of HKEY_CURRENT_USER back.
TEST_F(CommandLineTest, ExportedFilePutsEveryColourBack) {
  Seed(hive);  // both Messenger keys, a@, b@ (no colour), A, the misspelt accounts
  hive.SetRaw(kService, kValue, REG_DWORD, Le32(kGreen));
  hive.SetText(Account("a@example.com"), kValue, "255");  // stored as UTF-16
  hive.SetRaw(Account("c"), kValue, REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  hive.SetRaw(Account("d"), kValue, REG_BINARY, std::vector<BYTE>(300, 0xA5));
  hive.SetRaw(Account("e"), kValue, 0x12345, Bytes({0x2A}));
  hive.SetRaw(Account("f"), kValue, REG_BINARY, {});
  hive.CreateKeyBelow(kAccounts, std::string(209, 'g'));  // its path is too long to open
  const Tree seeded = hive.Snapshot();
  const std::wstring folder = NewFolder(), file = folder + L"\\colours \u8272.reg";
  const auto import = [&file] {
    return Process(L"reg.exe import \"" + file + L"\"").WaitForExit(20000);
  };

  // What a killed save left, and what a running one writes (held open as it holds it).
  const std::wstring leftover = folder + L"\\~varnelo-4000000000-0.tmp";
  const std::wstring running =
      folder + L"\\~varnelo-" + std::to_wstring(GetCurrentProcessId()) + L"-0.tmp";
  std::ofstream(leftover.c_str(), std::ios::binary) << "half a file";
  const HANDLE held = CreateFileW(running.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  const auto run = RunExe(L"/export \"" + file + L"\"");
  EXPECT_EQ(GetFileAttributesW(leftover.c_str()), INVALID_FILE_ATTRIBUTES) << "left over: removed";
  EXPECT_NE(GetFileAttributesW(running.c_str()), INVALID_FILE_ATTRIBUTES) << "still written: kept";
  CloseHandle(held);
  EXPECT_TRUE(DeleteFileW(running.c_str()));
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(run.out.find("saved 9 locations in "), 0u) << run.out;
  EXPECT_TRUE(run.out.ends_with("\\colours ?.reg\r\n")) << run.out;
  EXPECT_EQ(run.err.find("not saved: HKCU\\" + Account("")), 0u) << run.err;
  EXPECT_NE(run.err.find("not saved: HKCU\\" + Account(std::string(209, 'g')) +
                         ": IM Color could not be read"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(import(), 0u);
  EXPECT_EQ(hive.ChangesSince(seeded), "") << "only read, and the file changes nothing yet";
  EXPECT_EQ(RunExe(L"/set #0000FF").exitCode, 1u) << "all but the odd-named account written";
  ASSERT_NE(hive.ChangesSince(seeded), "");
  EXPECT_EQ(import(), 0u);
  EXPECT_EQ(hive.ChangesSince(seeded), "");
  EXPECT_TRUE(DeleteFileW(file.c_str()));
  EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "no temporary file left";
}

// Each FILE below is tried in a new, empty folder: the exit code and the
// reason say what happened, a file already there is left byte for byte, and
// no temporary file is left behind.
TEST_F(CommandLineTest, ExportWritesTheFileWholeOrNotAtAll) {
  Seed(hive);
  struct Case {
    std::wstring file;  // in the folder ("" for the folder itself)
    DWORD exitCode;
    const char* err;  // a part of standard error
    bool readOnlyFileThere = false;
    bool inFolder = true;          // false: FILE as it stands, relative to where it runs
    std::wstring otherFile = L"";  // another file in the folder, which must stay as it is
  };
  const std::wstring a85(85, L'\u3042');  // あ: 3 bytes of UTF-8
  const std::wstring longest(251, L'n');  // with ".reg", as long as a name may be
  std::vector<Case> cases{
      {L"missing\\c.reg", 1, "not written: the folder does not exist"},
      {L"", 1, "not written: a folder has that name"},
      {L"ro.reg", 1, "not written: the file is read-only", true},
      {longest + L".reg", 0, "not saved: "},
      {longest + L"n.reg", 1, "not written: the name is too long"},
      // 255 characters but 262 bytes, which Wine cut to the other file's name
      {a85 + L"\u3042.reg", 1, "too long for Wine's file system", false, true, a85},
      {a85.substr(2) + L"nn.reg", 0, "not saved: ", false, true, a85},  // 255 bytes: fits
  };
  // Devices, in the folder and as they stand
  for (const wchar_t* device :
       {L"CONOUT$", L"con.reg", L"CON:", L"x\\..\\CON", L"NUL", L"com1.reg", L"Lpt1"})
    cases.push_back({device, 1, "not written: it is a device"});
  for (const wchar_t* device : {L"CON", L"PRN"})
    cases.push_back({device, 1, "not written: it is a device", false, false});
  const std::string old = "old backup";
  for (const auto& c : cases) {
    const std::wstring folder = NewFolder();
    const std::wstring file = !c.inFolder      ? c.file
                              : c.file.empty() ? folder
                                               : folder + L"\\" + c.file;
    SCOPED_TRACE(Narrow(file));
    const std::wstring other = folder + L"\\" + c.otherFile;
    if (c.readOnlyFileThere) {
      std::ofstream(file.c_str(), std::ios::binary) << old;
      ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    if (!c.otherFile.empty()) std::ofstream(other.c_str(), std::ios::binary) << old;
    const auto run = RunExe(L"-Export \"" + file + L"\"");
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    EXPECT_EQ(run.out.empty(), c.exitCode != 0) << run.out;
    if (c.readOnlyFileThere) {
      EXPECT_EQ(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY,
                DWORD{FILE_ATTRIBUTE_READONLY});
      EXPECT_EQ(FileBytes(file), old);
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (c.readOnlyFileThere || c.exitCode == 0) {
      EXPECT_TRUE(DeleteFileW(file.c_str()));
    }
    if (!c.otherFile.empty()) {
      EXPECT_EQ(FileBytes(other), old) << "another file";
      EXPECT_TRUE(DeleteFileW(other.c_str()));
    }
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "nothing else in it";
  }
  EXPECT_EQ(RunExe(L"/export").exitCode, 2u) << "no file named";
}

}  // namespace
}  // namespace e2e
