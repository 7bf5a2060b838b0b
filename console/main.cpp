// varnelo.com: the console companion of varnelo.exe. cmd and PowerShell try
// .COM before .EXE, so `varnelo /get` typed at a prompt runs this console
// program, which the prompt waits for. It runs varnelo.exe from its own
// folder with the same command line and its own standard handles, waits, and
// ends with varnelo.exe's exit code: the command line itself lives in the exe
// alone. Typed without arguments it opens the window and ends at once, as
// typing `notepad` does.
#include "base/dep_policy.h"
#include "base/unique_handle.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <iterator>

namespace {

inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }
using OwnedHandle = varnelo::UniqueHandle<HANDLE, CloseKernelHandle>;

// varnelo.exe's own exit codes are 0 to 5 (cli/commands.h); this one is the
// companion's alone: varnelo.exe could not be started.
constexpr int kExitNoExe = 9;
constexpr DWORD kControlCExit = 0xC000013A;  // STATUS_CONTROL_C_EXIT, as Ctrl+C ends a program

// The longest path and command line Windows has (in UTF-16 units, with the end).
constexpr DWORD kLongest = 32768;

// varnelo.exe while it runs on this program's behalf, for the console's
// control handler, which runs on a thread of its own; and whether that
// handler has been called.
std::atomic<HANDLE> child = nullptr;
std::atomic<bool> interrupted = false;

// Ctrl+C, Ctrl+Break, the console window closed, logoff or shutdown: the exe
// ends too, whether or not it shares this console (with its output
// redirected it does not, and would never hear of it), and this program ends
// with the status Windows gives a program ended by Ctrl+C. The main thread
// returns that status once the exe has gone, whatever the exe's own end was
// (under Wine a window program can share the console, and its default
// handler ends it with 0 first).
BOOL WINAPI EndChildToo(DWORD) {
  interrupted = true;
  if (const HANDLE running = child) TerminateProcess(running, kControlCExit);
  return TRUE;
}

// One line on standard error, if there is one.
void Complain(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written,
            nullptr);
}

// varnelo.exe in this program's folder, found by this program's own path:
// never through PATH or the current folder. False when the path is too long.
bool ExeBesideThis(wchar_t (&path)[kLongest]) {
  const DWORD length = GetModuleFileNameW(nullptr, path, kLongest);
  if (length == 0 || length >= kLongest) return false;
  wchar_t* name = std::wcsrchr(path, L'\\');
  name = name != nullptr ? name + 1 : path;
  constexpr wchar_t kExe[] = L"varnelo.exe";
  if (static_cast<std::size_t>(name - path) + std::size(kExe) > kLongest) return false;
  std::wcscpy(name, kExe);
  return true;
}

// A job that ends varnelo.exe when this program ends in any way, killed
// included: the job goes with this program's last handle to it. Windows
// before 8 cannot put a process in a second job, so where this program
// already is in one (some terminals and installers start programs in one),
// the exe runs outside it; the control handler still ends it on Ctrl+C and
// when the console closes.
OwnedHandle JobThatEndsWithThis(HANDLE process) {
  OwnedHandle job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job.get() == nullptr ||
      SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                              sizeof(limits)) == FALSE ||
      AssignProcessToJobObject(job.get(), process) == FALSE) {
    return OwnedHandle();
  }
  return job;
}

int Run() {
  wchar_t exePath[kLongest];
  wchar_t commandLine[kLongest];
  if (!ExeBesideThis(exePath)) {
    Complain("varnelo: the path of varnelo.com is too long to find varnelo.exe beside it\r\n");
    return kExitNoExe;
  }
  // The command line goes on as it came, so the exe's C runtime splits the
  // same arguments as this one did; its first word (this program's name)
  // means nothing to the exe, which is named by its path.
  const wchar_t* own = GetCommandLineW();
  if (std::wcslen(own) >= kLongest) return kExitNoExe;
  std::wcscpy(commandLine, own);
  const bool commandLineRun = __argc > 1;  // with no arguments varnelo.exe opens its window

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  STARTUPINFOW given{};
  GetStartupInfoW(&given);  // `start /min varnelo`, a shortcut's "Run: minimised"
  startup.dwFlags = given.dwFlags & STARTF_USESHOWWINDOW;
  startup.wShowWindow = given.wShowWindow;
  if (commandLineRun) {
    // This program's standard handles, as they are: a file, a pipe, or the
    // console. Windows 8 and later pass a console handle on to a window
    // program, which can write to it; older ones cannot, and varnelo.exe then
    // writes to this program's console itself (AttachConsole).
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
      SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    SetConsoleCtrlHandler(EndChildToo, TRUE);
  }
  // Ctrl+C is this program's to answer (EndChildToo): the exe, in a process
  // group of its own, takes none itself. Windows never gives a window
  // program this console's Ctrl+C; Wine can, and would end it with 0.
  constexpr DWORD kOwnCtrlC = CREATE_NEW_PROCESS_GROUP;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(exePath, commandLine, nullptr, nullptr, commandLineRun ? TRUE : FALSE,
                     commandLineRun ? CREATE_SUSPENDED | kOwnCtrlC : 0, nullptr, nullptr, &startup,
                     &started) == FALSE) {
    Complain(
        "varnelo: varnelo.exe could not be started: it must be in the same folder as "
        "varnelo.com\r\n");
    return kExitNoExe;
  }
  const OwnedHandle process(started.hProcess);
  const OwnedHandle thread(started.hThread);
  if (!commandLineRun) return 0;  // the window stays when this program ends

  const OwnedHandle job = JobThatEndsWithThis(process.get());
  child = process.get();
  if (interrupted) TerminateProcess(process.get(), kControlCExit);  // before the exe was known
  ResumeThread(thread.get());
  WaitForSingleObject(process.get(), INFINITE);
  child = nullptr;
  DWORD exitCode = kExitNoExe;
  GetExitCodeProcess(process.get(), &exitCode);
  return static_cast<int>(interrupted ? kControlCExit : exitCode);
}

}  // namespace

int wmain() {
  varnelo::TurnOnDep();
  return Run();
}
